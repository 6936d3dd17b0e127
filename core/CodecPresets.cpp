#include "core/CodecPresets.h"

namespace {

// Id, tool, option template (and, for one preset, the text appended to it), extension.
// Written exactly as the tools need them, blanks included.
// clang-format off
constexpr TCodecPresetDefinition Definitions[CodecPresetCount] = {
    {"3gp_aac_mp4", "mencoder", "-ovc lavc -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:$vm1:vbitrate=$vbr -of lavf -lavfopts format=3gp -af channels=$ac,volume=$vol:resample=24000 -srate 24000", nullptr, "mp4"},
    {"3gp1_aac", "mencoder", "-ovc lavc -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:$vm1:vbitrate=$vbr -of lavf -lavfopts format=3gp -af channels=$ac,volume=$vol:resample=24000 -srate 24000", nullptr, "3gp"},
    {"3gp1_amr-nb", "mencoder", "-ovc lavc -oac lavc -lavcopts aglobal=1:vglobal=1:vcodec=h263:acodec=libamr_nb:$vm1:vbitrate=$vbr:abitrate=12200 -of lavf -lavfopts format=3gp -af channels=1,volume=$vol:resample=8000 -srate 8000", nullptr, "3gp"},
    {"3gp1_amr-wb", "mencoder", "-ovc lavc -oac lavc -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:acodec=libamr_nb:$vm1:vbitrate=$vbr:abitrate=12200 -of lavf -lavfopts format=3gp -af channels=1,volume=$vol:resample=8000 -srate 8000", nullptr, "3gp"},
    {"3gp2_aac", "mencoder", "-ovc lavc -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:$vm1:vbitrate=$vbr -of lavf -lavfopts format=3g2 -af channels=$ac,volume=$vol:resample=24000 -srate 24000", nullptr, "3g2"},
    {"amv_mp2", "mencoder", "-noodml -of avi -srate 44100 -ovc xvid -xvidencopts bitrate=$vbr:max_bframes=0:quant_type=h263:me_quality=4 -oac lavc -lavcopts acodec=mp2:abitrate=$abr -af channels=$ac,volume=$vol", nullptr, "amv"},
    {"asf_wma_wme_sp", "wmencoder", "-v_codec WMV9 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr -v_profile SP", nullptr, "asf"},
    {"audio_mp3", "mencoder", "-ovc copy -oac mp3lame -lameopts vbr=0:cbr:aq=9:br=$abr -of rawaudio", nullptr, "mp3"},
    {"divx_mp3", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DIVX -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"divx4_copy", "mencoder", "-ovc lavc -oac copy -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DIVX4", nullptr, "avi"},
    {"divx4_mp3", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DIVX4 -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"divx5_copy", "mencoder", "-ovc lavc -oac copy -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DX50", nullptr, "avi"},
    {"divx5_mp3", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DX50 -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"divx5_mp3_cam", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DX50 -af channels=$ac,volume=$vol:resample=24000 -srate 24000", nullptr, "avi"},
    {"divx5_mp3_palm", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=mpeg4:$vm1:vbitrate=$vbr -ffourcc DX50 -af channels=$ac,volume=$vol:resample=24000 -srate 24000", nullptr, "avi"},
    {"flv_mp3", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=flv:$vm1:vbitrate=$vbr  -of lavf -af resample=22050,channels=$ac,volume=$vol", nullptr, "flv"},
    {"h264_5.1", "mencoder", "-ovc x264 -x264encopts me=dia:turbo=2:threads=auto:$vm1:subq=1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mov -channels 6 -af pan=2:1:0:0:1:1:0:0:1:1:1:1:1", nullptr, "mov"},
    {"h264_5.1_hq", "mencoder", "-ovc x264 -x264encopts threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:partitions=all:trellis=1:vbv_bufsize=2000:nocabac:level_idc=13:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mov -channels 6 -af pan=2:1:0:0:1:1:0:0:1:1:1:1:1", nullptr, "mov"},
    {"h264_5.1_mp4", "mencoder", "-ovc x264 -x264encopts me=dia:turbo=2:threads=auto:$vm1:subq=1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mov -channels 6 -af pan=2:1:0:0:1:1:0:0:1:1:1:1:1", nullptr, "mp4"},
    {"h264_5.1_mp4_hq", "mencoder", "-ovc x264 -x264encopts threads=auto:$vm1:bitrate=$vbr:partitions=all:trellis=1:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mov -channels 6 -af pan=2:1:0:0:1:1:0:0:1:1:1:1:1", nullptr, "mp4"},
    {"h264_appletv", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:subq=1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_appletv_hq", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_ipod", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_ipod_hq", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:trellis=1:nocabac:level_idc=13:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_lv31", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=31:global_header:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_lv31_hq", "mencoder", "-ovc x264 -x264encopts turbo=2:threads=auto:$vm1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:trellis=1:nocabac:level_idc=31:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_ps3", "mencoder", "-ovc x264 -x264encopts threads=auto:bitrate=$vbr:global_header:vbv_maxrate=$vbr:vbv_bufsize=2000:$vm1:subq=1:level_idc=30:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=psp -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"h264_ps3_hq", "mencoder", "-ovc x264 -x264encopts threads=auto:bitrate=$vbr:global_header:partitions=all:trellis=1:vbv_maxrate=$vbr:vbv_bufsize=2000:$vm1:level_idc=30 -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=psp -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"h264_psp", "mencoder", "-ovc x264 -x264encopts threads=auto:bitrate=$vbr:global_header:vbv_maxrate=$vbr:vbv_bufsize=2000:$vm1:level_idc=30:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=psp -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_psp_hq", "mencoder", "-ovc x264 -x264encopts threads=auto:bitrate=$vbr:global_header:partitions=all:trellis=1:vbv_maxrate=$vbr:vbv_bufsize=2000:$vm1:level_idc=30 -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=psp -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"h264_psp2", "ffmpeg", "-y -f psp -vcodec h264 -level 13 -b $vbr -bt 768k -maxrate 768k -g 250 -coder 1 -acodec aac -ac $ac -ab $abrk -vol 256", nullptr, "MP4"},
    {"h264_xbox", "mencoder", "-ovc x264 -x264encopts me=dia:turbo=2:threads=auto:$vm1:subq=1:bitrate=$vbr:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header:subq=1:frameref=1:me=dia -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"h264_xbox_hq", "mencoder", "-ovc x264 -x264encopts threads=auto:$vm1:bitrate=$vbr:partitions=all:trellis=1:vbv_maxrate=$vbr:vbv_bufsize=2000:nocabac:level_idc=13:global_header -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"mpeg1_rockbox", "mencoder", "-of mpeg -ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -ofps 30000/1001 -lavcopts vcodec=mpeg1video:vbitrate=$vbr:$vm1:vmax_b_frames=16:vb_strategy=2 -af resample=44100:0:0,channels=$ac,volume=$vol", nullptr, "mpg"},
    {"mpeg2_copy", "mencoder", "-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac copy -ofps 30000/1001 -lavcopts vcodec=mpeg2video:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=$vbr:keyint=15:vstrict=0 ", nullptr, "mpg"},
    {"mpeg2_copy_hq", "mencoder", "-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac copy -ofps 30000/1001 -lavcopts vcodec=mpeg2video:trell:mbd=2:precmp=2:subcmp=2:cmp=2:dia=-10:predia=-10:cbp:mv0:vqmin=1:lmin=1:dc=10:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=$vbr:keyint=15:vstrict=0 ", nullptr, "mpg"},
    {"mpeg2_mp2", "mencoder", "-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac lavc -ofps 30000/1001 -lavcopts vcodec=mpeg2video:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=$vbr:keyint=15:vstrict=0:acodec=mp2:abitrate=$abr -af channels=$ac,volume=$vol", nullptr, "mpg"},
    {"mpeg2_mp2_hq", "mencoder", "-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac lavc -ofps 30000/1001 -lavcopts vcodec=mpeg2video:trell:mbd=2:precmp=2:subcmp=2:cmp=2:dia=-10:predia=-10:cbp:mv0:vqmin=1:lmin=1:dc=10:", "dc=10:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=$vbr:keyint=15:vstrict=0:acodec=mp2:abitrate=$abr -af channels=$ac,volume=$vol", "mpg"},
    {"mpeg2_rockbox", "mencoder", "-of mpeg -ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -ofps 30000/1001 -lavcopts vcodec=mpeg2video:vbitrate=$vbr:$vm1:vmax_b_frames=16:vb_strategy=2 -af resample=44100:0:0,channels=$ac,volume=$vol", nullptr, "mpg"},
    {"mpeg4_ipod", "mencoder", "-ovc lavc -lavcopts aglobal=1:vglobal=1:aic=2:vcodec=mpeg4:$vm1:vbitrate=$vbr -oac faac -faacopts br=$abr:mpeg=4:object=2:raw -of lavf -lavfopts format=mp4 -af channels=$ac,volume=$vol", nullptr, "mp4"},
    {"mpeg4_psp", "ffmpeg", "-y -f psp -vcodec xvid -b $vbr -maxrate 2500k -g 250 -acodec aac -ac $ac -ar 24000 -ab $abrk -vol 256", nullptr, "MP4"},
    {"msmpeg4_mp3", "mencoder", "-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -lavcopts vcodec=msmpeg4:$vm1:vbitrate=$vbr -ffourcc mp43 -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"wmv_wma", "mencoder", "-ovc lavc -oac lavc -lavcopts subq=1:vcodec=wmv2:$vm1:vbitrate=$vbr:acodec=wmav2:abitrate=$abr -of lavf -lavfopts format=asf -af channels=$ac,volume=$vol", nullptr, "wmv"},
    {"wmv_wma_hq", "mencoder", "-ovc lavc -oac lavc -lavcopts vcodec=wmv2:$vm1:vqscale=4:vbitrate=$vbr:acodec=wmav2:abitrate=$abr -of lavf -lavfopts format=asf -af channels=$ac,volume=$vol", nullptr, "wmv"},
    {"wmv7_wma_wme", "wmencoder", "-v_codec WMV7 -v_performance 0 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr", nullptr, "wmv"},
    {"wmv8_wma_wme", "wmencoder", "-v_codec WMV8 -v_performance 0 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr", nullptr, "wmv"},
    {"wmv9_wma_wme", "wmencoder", "-v_codec WMV9 -v_performance 0 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr", nullptr, "wmv"},
    {"wmv9_wma_wme_mixmax", "wmencoder", "-v_codec WMV9 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr -v_profile SP -v_keydist 5", nullptr, "wmv"},
    {"wmv9_wma_wme_sp", "wmencoder", "-v_codec WMV9 -v_bitrate $vbr000 -v_mode $vm3 -a_setting $abr -v_profile SP", nullptr, "wmv"},
    {"xvid_copy", "mencoder", "-ovc xvid -oac copy -xvidencopts $vm1:bitrate=$vbr -ffourcc XVID", nullptr, "avi"},
    {"xvid_mp2", "mencoder", "-ovc xvid -oac lavc -lavcopts acodec=mp2:br=$abr -xvidencopts $vm1:bitrate=$vbr -ffourcc XVID", nullptr, "avi"},
    {"xvid_mp3", "mencoder", "-ovc xvid -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -xvidencopts $vm1:bitrate=$vbr -ffourcc XVID -af channels=$ac,volume=$vol", nullptr, "avi"},
    {"xvid_mp3_sansa", "mencoder", "-ovc xvid -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=$abr -xvidencopts $vm1:bitrate=$vbr -ffourcc XVID -af channels=$ac,volume=$vol:resample=44100 -srate 44100", nullptr, "avi"},
};
// clang-format on

}  // namespace

const TCodecPresetDefinition* CodecPresetDefinitions() { return Definitions; }

void AppendCodecPresets(TStringGrid* Grid)
{
  for (const TCodecPresetDefinition& Preset : std::span(Definitions)) {
    const int Last = Grid->GetRowCount() - 1;
    if (!Grid->GetCells(0, Last).empty()) Grid->SetRowCount(Grid->GetRowCount() + 1);
    const int Row = Grid->GetRowCount() - 1;
    Grid->SetCells(CodecIdCol, Row, Preset.Id);
    Grid->SetCells(CodecToolCol, Row, Preset.Tool);
    Grid->SetCells(CodecOptionsCol, Row, Preset.Options);
    if (Preset.OptionsRest) Grid->SetCells(CodecOptionsCol, Row, Grid->GetCells(CodecOptionsCol, Row) + Preset.OptionsRest);
    Grid->SetCells(CodecExtensionCol, Row, Preset.Extension);
  }
}

void FillCodecItems(TStringGrid* Grid, TStrings* Items)
{
  Items->Clear();
  for (int Row = 0; Row < Grid->GetRowCount(); ++Row) Items->Add(Grid->GetCells(CodecIdCol, Row));
}
