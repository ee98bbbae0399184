#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/rules/windows_path.h"

namespace tallowick {

// What stands at a path, the entry itself: a link is a Link, never what it
// leads to.
enum class EntryKind {
    Missing,    // nothing there
    File,
    Folder,
    Link,
    Other,      // a device, a pipe, a socket
    Unreadable, // the system would not say; see the error
};

struct EntryAnswer {
    EntryKind kind = EntryKind::Missing;
    bool readOnly = false; // a file the system marks read-only
    long error = 0;        // for Unreadable: the system's own number
    // Reached by a name spelled otherwise (in another letter case), as
    // Wine's lookup allows where no entry bears the name as given.
    bool otherSpelling = false;
};

// The entry that a removal would take, held open by the system. Only a
// system whose removal by name may take another entry than the one named
// holds one (Wine: a link to a file shows as that file, and a name whose
// file is gone reaches a twin in another letter case).
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

// The reasons for which the rules leave a file alone. Each has its one
// wording in the rules.
enum class Refusal { NotAPlainPath, LinkedFolder, Link, Folder, ReadOnly };

// The questions that the rules ask of one drive. A platform answers each
// with plain operating-system calls and decides nothing of its own.
class Disk {
public:
    virtual ~Disk() = default;

    virtual const NameRules& Names() const = 0;

    // The entry that the first `depth` names of `path` lead to. Asked only
    // once each shorter prefix has been answered Folder.
    virtual EntryAnswer Examine(const WindowsPath& path, std::size_t depth) = 0;

    // Hands every entry of the folder `path` names to `take`, "." and ".."
    // left out; `shownPath` gets the folder's path as the drive spells it.
    // Answers 0 or the system's error number.
    using Take = std::function<void(const ListedEntry&)>;
    virtual long List(const WindowsPath& path, std::string& shownPath, const Take& take) = 0;

    // Holds the entry that removing the path would take, where the system
    // removes through a handle; elsewhere it holds nothing and answers {}.
    virtual HeldEntry Hold(const WindowsPath&) { return {}; }
    // Removes the entry itself (the one held, where there is one), a link
    // as a link; never a folder. Asked only once the folders above it have
    // been answered Folder. Answers 0 or the system's error number.
    virtual long Remove(const WindowsPath& path) = 0;
    // True where the system's removal itself refuses read-only files, so
    // that a file need not be examined before it is removed.
    virtual bool RemovalRefusesReadOnlyFiles() const = 0;

    // Facts about the system's error numbers.
    virtual bool MeansUnavailable(long error) const = 0; // vanished, or may not be read
    virtual std::string ErrorText(long error) const = 0;
};

} // namespace tallowick
