#pragma once

#include <string_view>

#include "platform/interfaces/error.h"
#include "platform/rules/disk.h"

namespace tallowick {

// The one wording of each refusal, the same on every drive, with the
// system's number nearest to it: "c:\windows\cookies\a.txt: The file is
// read-only." `linkedFolder` names the link for Refusal::LinkedFolder.
Error RefusalError(const Disk& disk, Refusal refusal, std::string_view path, std::string_view linkedFolder = {});

} // namespace tallowick
