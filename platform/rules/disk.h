#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/rules/windows_path.h"

namespace tallowick {

// What stands at a path, the entry itself: a link is a Link, never what it
// leads to. Other is a device, a pipe or a socket; Unreadable is what the
// system would not say (see the error).
enum class EntryKind { Missing, File, Folder, Link, Other, Unreadable };

struct EntryAnswer {
    EntryKind kind = EntryKind::Missing;
    bool readOnly = false;      // a file the system marks read-only
    long error = 0;             // for Unreadable: the system's own number
    bool otherSpelling = false; // reached by a name in another letter case, as Wine's lookup allows
};

// The entry that a removal would take, held open by a system whose removal
// by name may take another entry than the one named (Wine: a link to a file
// shows as that file, and a gone file's name reaches a twin in another case).
struct HeldEntry {
    long error = 0;             // it could not be held: the system's number
    bool otherSpelling = false; // the name it was reached by is none of its own
    bool throughLink = false;   // the name is a link, and what is held lies behind it
};

// One entry of a folder, as the system lists it.
struct ListedEntry {
    std::string_view name;     // the name the user sees
    std::string_view pathName; // the name that reaches it (a short name where the long one cannot)
    EntryKind kind = EntryKind::File;
    EntryKind linkTarget = EntryKind::Missing; // for a Link: what it leads to
};

// Why the rules leave a file alone; each has its one wording in the rules.
enum class Refusal { NotAPlainPath, LinkedFolder, Link, Folder, ReadOnly };

// The questions that the rules ask of one drive, answered with plain
// operating-system calls. A long answer is 0 or the system's error number.
class Disk {
public:
    virtual ~Disk() = default;

    virtual const NameRules& Names() const = 0;

    // The entry that the first `depth` names of `path` lead to, asked once
    // each shorter prefix has been answered Folder.
    virtual EntryAnswer Examine(const WindowsPath& path, std::size_t depth) = 0;

    // Hands every entry of the folder to `take`, "." and ".." left out;
    // `shownPath` gets the folder's path as the drive spells it.
    using Take = std::function<void(const ListedEntry&)>;
    virtual long List(const WindowsPath& path, std::string& shownPath, const Take& take) = 0;

    // Holds the entry that removing the path would take, where the system
    // removes through a handle; elsewhere it holds nothing.
    virtual HeldEntry Hold(const WindowsPath&) { return {}; }
    // Removes the entry itself (the held one, if any), a link as a link,
    // never a folder; asked once the folders above it are answered Folder.
    virtual long Remove(const WindowsPath& path) = 0;
    // Whether removal itself refuses read-only files, so that a file need
    // not be examined first.
    virtual bool RemovalRefusesReadOnlyFiles() const = 0;

    virtual bool MeansUnavailable(long error) const = 0; // vanished, or may not be read
    virtual std::string ErrorText(long error) const = 0;
};

} // namespace tallowick
