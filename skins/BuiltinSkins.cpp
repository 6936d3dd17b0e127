#include "skins/BuiltinSkins.h"

void LoadBuiltinSkin(TskCompressedStoredSkin* StoredSkin, TBuiltinSkin Skin)
{
  if (Skin == TBuiltinSkin::bsFrame)
    StoredSkin->SetCompressedData(FrameSkinData, FrameSkinDataSize);
  else
    StoredSkin->SetCompressedData(ControlsSkinData, ControlsSkinDataSize);
}
