// The translations of the single tools, joined by TranslateToolCommand.
#pragma once

#include "tools/adapter/ToolPlan.h"

namespace qv::tools {

TToolPlan TranslateMencoder(const std::vector<std::string>& Args, const std::string& Temp);
TToolPlan TranslateFfmpeg(const std::vector<std::string>& Args);
TToolPlan TranslateWindowsMediaScript(const std::vector<std::string>& Args);

}  // namespace qv::tools
