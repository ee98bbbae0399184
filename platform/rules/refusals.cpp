#include "platform/rules/refusals.h"

#include <string>

namespace tallowick {

Error RefusalError(const Disk& disk, Refusal refusal, std::string_view path, std::string_view linkedFolder)
{
    std::string description(path);
    description += ": ";
    switch (refusal) {
    case Refusal::NotAPlainPath:
        description += "It is not a plain path on a drive, such as c:\\windows\\cookies\\a.txt.";
        break;
    case Refusal::LinkedFolder:
        description += "The folder ";
        description += linkedFolder;
        description += " is a link; nothing behind a link is searched or deleted.";
        break;
    case Refusal::Folder: description += "It is a folder, not a file."; break;
    case Refusal::ReadOnly: description += "The file is read-only."; break;
    }
    return Error(disk.NumberFor(refusal), description);
}

} // namespace tallowick
