#include "platform/win32/files/win32_file_system.h"

#include <optional>
#include <set>
#include <utility>

#include <windows.h>
#undef DeleteFile // the interface's member, not the Win32 macro

#include "platform/win32/files/win32_error.h"
#include "platform/win32/files/win32_file_api.h"

namespace tallowick::win32 {
namespace {

bool IsPlainFolder(unsigned long attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool IsGone(unsigned long error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Errors after which a folder is passed over rather than ending the search.
bool IsUnavailable(unsigned long error)
{
    return IsGone(error) || error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED;
}

bool IsNameCharacter(char c)
{
    constexpr std::string_view kReserved = "\\/:*?\"<>|";
    return static_cast<unsigned char>(c) >= 0x20 && kReserved.find(c) == std::string_view::npos;
}

// The end of each component of a plain drive path ("c:\windows\cookies" gives
// the ends of "c:\windows" and of the whole). Nothing for any other form:
// no relative or network paths, no "." or ".." and no wildcards, so a path
// always names the one entry it spells.
std::optional<std::vector<std::size_t>> ComponentEnds(std::string_view path)
{
    const bool drive = path.size() > 3 && ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'))
        && path[1] == ':' && path[2] == '\\';
    if (!drive)
        return std::nullopt;
    std::vector<std::size_t> ends;
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return std::nullopt;
        for (const char c : component)
            if (!IsNameCharacter(c))
                return std::nullopt;
        ends.push_back(end);
        start = end + 1;
    }
    return ends;
}

std::string Joined(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

// Checks the folders a path goes through, remembering those already seen to
// be real folders: a walk asks about many paths below the same few folders.
class FolderChain {
public:
    explicit FolderChain(FileApi& api) : api_(api) {}

    enum class State { Plain, Missing, Linked, Failed };
    struct Answer {
        State state = State::Plain;
        unsigned long error = 0;
        std::string folder; // the folder the answer is about
    };

    enum class Last { Remembered, AskedAfresh };

    // The first `count` components of `path`, as folders.
    Answer Check(std::string_view path, const std::vector<std::size_t>& ends, std::size_t count, Last last)
    {
        for (std::size_t i = 0; i < count; ++i) {
            std::string folder(path.substr(0, ends[i]));
            const bool fresh = i + 1 == count && last == Last::AskedAfresh;
            if (!fresh && known_.count(folder) != 0)
                continue;
            unsigned long attributes = 0;
            if (const unsigned long error = api_.GetAttributes(folder, attributes); error != 0)
                return {IsGone(error) ? State::Missing : State::Failed, error, std::move(folder)};
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                return {State::Missing, ERROR_PATH_NOT_FOUND, std::move(folder)};
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                return {State::Linked, ERROR_ACCESS_DENIED, std::move(folder)};
            known_.insert(std::move(folder));
        }
        return {};
    }

    void Remember(std::string folder) { known_.insert(std::move(folder)); }

private:
    FileApi& api_;
    std::set<std::string> known_;
};

struct SearchState {
    explicit SearchState(std::unique_ptr<FileApi> fileApi) : api(std::move(fileApi)), folders(*api) {}
    std::unique_ptr<FileApi> api;
    FolderChain folders;
};

class Win32Folder final : public Folder {
public:
    Win32Folder(std::shared_ptr<SearchState> state, std::string path) : state_(std::move(state)), path_(std::move(path))
    {
    }

    std::vector<FileEntry> Files() override
    {
        List();
        return files_;
    }

    std::vector<std::string> SubFolders() override
    {
        List();
        return subFolders_;
    }

private:
    // One listing serves both Files and SubFolders.
    void List()
    {
        if (listed_)
            return;
        std::vector<ListedEntry> entries;
        if (const unsigned long error = state_->api->ListFolder(path_, entries); error != 0) {
            const Error failure = SystemError(error, path_);
            if (IsUnavailable(error))
                throw FolderUnavailable(failure.number(), failure.description());
            throw failure;
        }
        for (ListedEntry& entry : entries) {
            if (entry.name == "." || entry.name == "..")
                continue;
            if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                files_.push_back({std::move(entry.name), Joined(path_, entry.pathName)});
            } else if (IsPlainFolder(entry.attributes)) {
                std::string subFolder = Joined(path_, entry.pathName);
                state_->folders.Remember(subFolder);
                subFolders_.push_back(std::move(subFolder));
            }
        }
        listed_ = true;
    }

    std::shared_ptr<SearchState> state_;
    std::string path_;
    bool listed_ = false;
    std::vector<FileEntry> files_;
    std::vector<std::string> subFolders_;
};

class Win32FileSystem final : public FileSystem {
public:
    explicit Win32FileSystem(std::unique_ptr<FileApi> api) : state_(std::make_shared<SearchState>(std::move(api))) {}

    // True only for a real folder reached through real folders: a junction
    // or a linked folder, or anything behind one, is not a folder here.
    bool FolderExists(std::string_view path) override
    {
        const std::optional<std::vector<std::size_t>> ends = ComponentEnds(path);
        return ends && state_->folders.Check(path, *ends, ends->size(), FolderChain::Last::AskedAfresh).state == FolderChain::State::Plain;
    }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        if (!ComponentEnds(path))
            throw SystemError(ERROR_INVALID_NAME, std::string(path));
        return std::make_unique<Win32Folder>(state_, std::string(path));
    }

private:
    std::shared_ptr<SearchState> state_;
};

class Win32FileDeletion final : public FileDeletion {
public:
    explicit Win32FileDeletion(std::unique_ptr<FileApi> api) : api_(std::move(api)), folders_(*api_) {}

    DeletionResult DeleteFile(const std::string& path) override
    {
        const std::optional<std::vector<std::size_t>> ends = ComponentEnds(path);
        if (!ends)
            return Failed(SystemError(ERROR_INVALID_NAME, path));

        const FolderChain::Answer above = folders_.Check(path, *ends, ends->size() - 1, FolderChain::Last::Remembered);
        switch (above.state) {
        case FolderChain::State::Plain: break;
        case FolderChain::State::Missing: return {DeletionOutcome::AlreadyGone, Error(0, "")};
        case FolderChain::State::Linked:
            return Refused(path, "The folder " + above.folder + " is a link; nothing behind it is deleted.");
        case FolderChain::State::Failed: return Failed(SystemError(above.error, above.folder));
        }

        unsigned long attributes = 0;
        if (const unsigned long error = api_->GetAttributes(path, attributes); error != 0)
            return IsGone(error) ? DeletionResult{DeletionOutcome::AlreadyGone, Error(0, "")}
                                 : Failed(SystemError(error, path));
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return Refused(path, "It is a folder, not a file.");
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
            return Refused(path, "The file is read-only.");

        if (const unsigned long error = api_->RemoveFile(path); error != 0)
            return IsGone(error) ? DeletionResult{DeletionOutcome::AlreadyGone, Error(0, "")}
                                 : Failed(SystemError(error, path));
        return {DeletionOutcome::Deleted, Error(0, "")};
    }

private:
    static DeletionResult Failed(Error error) { return {DeletionOutcome::Failed, std::move(error)}; }

    // Left alone on purpose: reported as access denied, with the reason.
    static DeletionResult Refused(const std::string& path, const std::string& reason)
    {
        const Error denied = SystemError(ERROR_ACCESS_DENIED, path);
        return Failed(Error(denied.number(), denied.description() + " " + reason));
    }

    std::unique_ptr<FileApi> api_;
    FolderChain folders_;
};

} // namespace

std::unique_ptr<FileSystem> OpenWin32FileSystem(std::unique_ptr<FileApi> api)
{
    return std::make_unique<Win32FileSystem>(std::move(api));
}

std::unique_ptr<FileDeletion> OpenWin32FileDeletion(std::unique_ptr<FileApi> api)
{
    return std::make_unique<Win32FileDeletion>(std::move(api));
}

} // namespace tallowick::win32

namespace tallowick {

std::unique_ptr<FileSystem> OpenWin32FileSystem()
{
    return win32::OpenWin32FileSystem(win32::OpenFileApi(win32::FileNames::SystemChoice));
}

std::unique_ptr<FileDeletion> OpenWin32FileDeletion()
{
    return win32::OpenWin32FileDeletion(win32::OpenFileApi(win32::FileNames::SystemChoice));
}

} // namespace tallowick
