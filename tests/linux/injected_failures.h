#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick::testing {

// Failures that the disk will not produce for root (an unreadable folder,
// a file that is busy), put in front of the real components.

// Opening one of `unavailable` fails as an unreadable folder does.
class UnreadableFolders : public FileSystem {
public:
    UnreadableFolders(std::unique_ptr<FileSystem> real, std::set<std::string> unavailable)
        : real_(std::move(real)), unavailable_(std::move(unavailable))
    {
    }

    bool FolderExists(std::string_view path) override { return real_->FolderExists(path); }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        if (unavailable_.count(std::string(path)) != 0)
            throw FolderUnavailable(13, "Permission denied: " + std::string(path));
        return real_->GetFolder(path);
    }

private:
    std::unique_ptr<FileSystem> real_;
    std::set<std::string> unavailable_;
};

// Deleting one of `refused` fails with the given error; the file stays.
class RefusedDeletions : public FileDeletion {
public:
    RefusedDeletions(std::unique_ptr<FileDeletion> real, std::map<std::string, Error> refused)
        : real_(std::move(real)), refused_(std::move(refused))
    {
    }

    DeletionResult DeleteFile(std::string_view path) override
    {
        if (const auto refusal = refused_.find(std::string(path)); refusal != refused_.end())
            return {DeletionOutcome::Failed, refusal->second};
        return real_->DeleteFile(path);
    }

private:
    std::unique_ptr<FileDeletion> real_;
    std::map<std::string, Error> refused_;
};

} // namespace tallowick::testing
