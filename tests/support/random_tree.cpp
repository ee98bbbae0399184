#include "tests/support/random_tree.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace tallowick::testing::trees {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), Lower);
    return folded;
}

namespace {

using namespace std::string_literals;
using Kind = Entry::Kind;

// xorshift32 and a modulo: the same numbers from every compiler and library,
// so one seed makes one tree on Linux and under Wine alike.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_((seed * 2654435761u) ^ 0x9E3779B9u)
    {
        if (state_ == 0)
            state_ = 1;
    }
    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::size_t Below(std::size_t bound) { return Next() % bound; }
    bool Percent(std::size_t chance) { return Below(100) < chance; }
    template <typename List>
    const auto& Pick(const List& list)
    {
        return list[Below(std::size(list))];
    }

private:
    std::uint32_t state_;
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> names;
    if (path.empty())
        return names;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
        names.push_back(path.substr(start, (end = path.find('/', start)) - start));
    return names;
}

// The text of a link at `from` that leads to `to`, relative to the link's folder.
std::string RelativeText(const std::string& from, const std::string& to)
{
    const std::vector<std::string> here = Split(FolderOf(from));
    const std::vector<std::string> there = Split(to);
    std::size_t common = 0;
    while (common < here.size() && common < there.size() && here[common] == there[common])
        ++common;
    std::string text;
    for (std::size_t i = common; i < here.size(); ++i)
        text += "../";
    for (std::size_t i = common; i < there.size(); ++i)
        text += there[i] + (i + 1 < there.size() ? "/" : "");
    return text;
}

// Stems of file and folder names, and names only a Unix file system holds
// (a backslash, bytes that are no UTF-8, control characters).
constexpr std::array<std::string_view, 17> kStems{
    "a", "site[1]", "user@example[2]", "two words", "caf\xc3\xa9",
    "\xd0\xbf\xd0\xb5\xd1\x87\xd0\xb5\xd0\xbd\xd1\x8c\xd0\xb5", "\xf0\x9f\x8d\xaa", "star*", "what?", "[",
    "br]", "~tmp", "pipe|", "colon:", "%20", "a.b", ""};
constexpr std::array<std::string_view, 5> kUnixStems{"back\\slash", "\xff\xfe", "\xc3", "bell\x07", "tab\t"};
constexpr std::array<std::string_view, 10> kFolderStems{
    "user1", "All Users", "Content.IE5", "old.txt", "\xd0\xbc\xd0\xb0\xd1\x80\xd0\xb8\xd1\x8f", "star*",
    "dot.", "space ", "[1]", "caf\xc3\xa9"};

class Builder {
public:
    Builder(std::uint32_t seed, Disk disk) : random_(seed), disk_(disk)
    {
        tree_.seed = seed;
        tree_.drive = disk == Disk::Linux ? "prefix/drive_c" : "drive_c";
        tree_.outside = disk == Disk::Linux ? "outside" : "tallowick-outside";
    }

    Tree Build()
    {
        if (disk_ == Disk::Linux)
            Folder("", "prefix");
        const std::string drive = Folder(FolderOf(tree_.drive), NameOf(tree_.drive));
        MakeTargets(drive);
        File(drive, "top.txt");
        // Under Wine the prefix's own "windows" folder is always there.
        if (disk_ == Disk::Windows)
            FillRoot(Folder(drive, "windows"));
        else
            Slot(drive, "windows", 85, [&](const std::string& root) { FillRoot(root); });
        Slot(drive, "winnt", 45, [&](const std::string& root) { FillRoot(root); });
        ChooseChanges();
        return std::move(tree_);
    }

private:
    std::string Add(Entry entry)
    {
        const std::string key = disk_ == Disk::Linux ? entry.path : Folded(entry.path);
        taken_.insert(key);
        tree_.entries.push_back(std::move(entry));
        return tree_.entries.back().path;
    }
    // A path for a new entry in `folder`; on Windows no two names of a
    // folder differ only in letter case.
    std::string Child(const std::string& folder, const std::string& name)
    {
        std::string path = (folder.empty() ? "" : folder + "/") + name;
        for (int n = 1; taken_.count(disk_ == Disk::Linux ? path : Folded(path)); ++n)
            path = (folder.empty() ? "" : folder + "/") + "n" + std::to_string(n) + "-" + name;
        return path;
    }
    std::string Folder(const std::string& folder, const std::string& name)
    {
        return Add({Kind::Folder, Child(folder, name), "", "", "", false});
    }
    std::string File(const std::string& folder, const std::string& name, bool readOnly = false)
    {
        const std::string path = Child(folder, name);
        return Add({Kind::File, path, "cookie " + std::to_string(tree_.entries.size()), "", "", readOnly});
    }
    std::string Link(const std::string& folder, const std::string& name, const std::string& leadsTo)
    {
        const std::string path = Child(folder, name);
        linked_.insert(leadsTo);
        return Add({Kind::Link, path, "", RelativeText(path, leadsTo), leadsTo, false});
    }

    // Files and folders for links to lead to, on the drive and beside it;
    // the folders hold cookie files that a walk through a link would find.
    void MakeTargets(const std::string& drive)
    {
        for (const std::string& area : {Folder(drive, "tallowick-targets"), Folder("", tree_.outside)}) {
            targetFiles_.push_back(File(area, "target.txt"));
            targetFiles_.push_back(File(area, "locked.txt", true));
            const std::string profile = Folder(area, "profile");
            File(profile, "behind.txt");
            File(Folder(profile, "Cookies"), "behind[1].txt");
            targetFolders_.push_back(profile);
        }
    }

    // A fixed name as someone may have typed it.
    std::string CaseOf(std::string_view name)
    {
        std::string variant(name);
        const std::size_t how = random_.Below(4);
        for (char& c : variant)
            c = how == 1 ? Lower(c) : how == 2 ? Upper(c) : how == 3 && random_.Percent(50) ? Upper(c) : c;
        return variant;
    }

    // The place of a fixed name in `folder`: a folder there (filled by
    // `fill`) `folderChance` percent of the time, else nothing, a file or a
    // link to a folder. On Linux another folder beside it may differ from it
    // only in letter case.
    template <typename Fill>
    void Slot(const std::string& folder, std::string_view name, std::size_t folderChance, const Fill& fill)
    {
        const std::size_t roll = random_.Below(100);
        if (roll < folderChance)
            fill(Folder(folder, CaseOf(name)));
        else if (roll < folderChance + (100 - folderChance) / 3)
            File(folder, CaseOf(name));
        else if (roll < folderChance + 2 * (100 - folderChance) / 3)
            Link(folder, CaseOf(name), random_.Pick(targetFolders_));
        if (disk_ == Disk::Linux && random_.Percent(15)) {
            const std::string twin = CaseOf(name);
            if (!taken_.count(folder + "/" + twin))
                random_.Percent(80) ? fill(Folder(folder, twin)) : void(File(folder, twin));
        }
    }

    void FillRoot(const std::string& root)
    {
        File(root, "notes.txt");
        for (std::string_view fixed : {"cookies", "profiles", "Temporary Internet Files"})
            Slot(root, fixed, 60, [&](const std::string& folder) { FillFixed(folder); });
    }

    void FillFixed(const std::string& fixed)
    {
        Leaves(fixed, random_.Below(6));
        for (std::size_t n = random_.Below(4); n > 0; --n) {
            std::string name(random_.Pick(kFolderStems));
            if (disk_ == Disk::Linux && random_.Percent(10))
                name = random_.Pick(kUnixStems);
            const std::size_t roll = random_.Below(100);
            if (roll < 10) {
                Link(fixed, name, random_.Pick(targetFolders_));
            } else if (roll < 15) {
                File(fixed, name);
            } else {
                const std::string sub = Folder(fixed, name);
                if (random_.Percent(30))
                    File(sub, "notes.txt");
                Slot(sub, "cookies", 70, [&](const std::string& cookies) {
                    Leaves(cookies, random_.Below(5));
                    if (random_.Percent(20))
                        File(Folder(cookies, "old"), "deeper.txt");
                });
            }
        }
    }

    // Entries named like cookie files, or nearly: a ".txt" at the end, the
    // start or the middle, in the wrong case, or none; of every kind.
    void Leaves(const std::string& folder, std::size_t count)
    {
        for (; count > 0; --count) {
            std::string name(random_.Pick(kStems));
            if (disk_ == Disk::Linux && random_.Percent(15))
                name = random_.Pick(kUnixStems);
            const std::array<std::string, 9> forms{name + ".txt", name + ".txt", ".txt" + name,
                                                   name + ".txt.bak", name + ".TXT", name + ".dat",
                                                   name + ".txt.", name + ".txt ", name + "txt"};
            name = random_.Pick(forms);
            const std::size_t roll = random_.Below(100);
            if (roll < 60) {
                madeFiles_.push_back(File(folder, name));
                // On Linux a twin in another letter case may stand beside it.
                if (disk_ == Disk::Linux && random_.Percent(20))
                    File(folder, CaseOf(name));
            } else if (roll < 68) {
                File(folder, name, true);
            } else if (roll < 80) {
                // Now and then to a file the walk lists too.
                const bool listed = !madeFiles_.empty() && random_.Percent(30);
                Link(folder, name, listed ? madeFiles_.back() : random_.Pick(targetFiles_));
            } else if (roll < 86) {
                const std::string path = Child(folder, name); // a link to nothing, or to itself
                Link(folder, name, random_.Percent(50) ? tree_.drive + "/tallowick-targets/gone" : path);
            } else if (roll < 92) {
                Link(folder, name, random_.Pick(targetFolders_));
            } else {
                File(Folder(folder, name), "inside.txt");
            }
        }
    }

    // Between the Find and the Delete, a file where cookies are may vanish
    // and another may be replaced by a folder; never one a link leads to.
    void ChooseChanges()
    {
        std::vector<std::string> files;
        for (const std::string& file : madeFiles_)
            if (!linked_.count(file))
                files.push_back(file);
        if (files.size() < 2)
            return;
        const std::size_t first = random_.Below(files.size());
        const std::size_t second = (first + 1 + random_.Below(files.size() - 1)) % files.size();
        if (random_.Percent(30))
            tree_.vanishing.push_back(files[first]);
        if (random_.Percent(30))
            (random_.Percent(50) ? tree_.becomingFolders : tree_.becomingEmptyFolders).push_back(files[second]);
    }

    Random random_;
    Disk disk_;
    Tree tree_;
    std::set<std::string> taken_;
    std::set<std::string> linked_;
    std::vector<std::string> targetFiles_;
    std::vector<std::string> targetFolders_;
    std::vector<std::string> madeFiles_;
};

// UTF-8 in its shortest form, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5                  ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// The model: the walk and the deletion, as their rules say.
class Model {
public:
    Model(const Tree& tree, Disk disk, const FolderOrder& order) : tree_(tree), disk_(disk), order_(order)
    {
        for (const Entry& entry : tree.entries) {
            at_[entry.path] = &entry;
            inside_[FolderOf(entry.path)].push_back(&entry);
        }
    }

    // Roots in order, the fixed folders of each in order; in each fixed
    // folder its own files, then the "cookies" folder of each of its
    // immediate subfolders, in the order the system lists them.
    Expectation Walk()
    {
        for (const std::string root : {"windows", "winnt"}) {
            const Entry* rootFolder = LookUp(tree_.drive, root);
            if (!IsFolder(rootFolder))
                continue;
            for (const std::string subpath : {"cookies", "profiles", "Temporary Internet Files"}) {
                const Entry* fixed = LookUp(rootFolder->path, subpath);
                if (!IsFolder(fixed))
                    continue;
                const std::string shown = "c:\\" + (disk_ == Disk::Linux ? NameOf(rootFolder->path) + "\\" + NameOf(fixed->path)
                                                                          : root + "\\" + subpath);
                TakeCookies(*fixed, shown);
                for (const Entry* sub : Ordered(fixed->path)) {
                    if (!IsFolder(sub) || !Reported(NameOf(sub->path)))
                        continue;
                    const Entry* cookies = LookUp(sub->path, "cookies");
                    if (IsFolder(cookies))
                        TakeCookies(*cookies, shown + "\\" + NameOf(sub->path) + "\\" +
                                                  (disk_ == Disk::Linux ? NameOf(cookies->path) : "cookies"));
                }
            }
        }
        return expectation_;
    }

private:
    const Entry* At(const std::string& path) const
    {
        const auto found = at_.find(path);
        return found == at_.end() ? nullptr : found->second;
    }

    // A name in a path: the entry of exactly that name, else the one whose
    // name differs only in ASCII letter case (on Linux the smallest such, in
    // byte order). It may be of any kind.
    const Entry* LookUp(const std::string& folder, const std::string& name) const
    {
        if (const Entry* exact = At(folder + "/" + name))
            return exact;
        const Entry* found = nullptr;
        for (const Entry* entry : Inside(folder))
            if (Folded(NameOf(entry->path)) == Folded(name) && (!found || entry->path < found->path))
                found = entry;
        return found;
    }

    const std::vector<const Entry*>& Inside(const std::string& folder) const
    {
        static const std::vector<const Entry*> none;
        const auto found = inside_.find(folder);
        return found == inside_.end() ? none : found->second;
    }

    // A folder's entries in the system's order.
    std::vector<const Entry*> Ordered(const std::string& folder) const
    {
        std::vector<const Entry*> entries = Inside(folder);
        const std::vector<std::string> order = order_(folder);
        const auto rank = [&](const Entry* entry) {
            return std::find(order.begin(), order.end(), NameOf(entry->path)) - order.begin();
        };
        std::stable_sort(entries.begin(), entries.end(), [&](auto* a, auto* b) { return rank(a) < rank(b); });
        return entries;
    }

    // A folder counts only as itself: a link to one is never walked.
    static bool IsFolder(const Entry* entry) { return entry && entry->kind == Kind::Folder; }

    // A file, or a link where a file is that leads to a file or to nothing.
    // Wine lists no link that leads nowhere.
    bool IsFile(const Entry& entry) const
    {
        const Entry* end = &entry;
        for (int hops = 0; end && end->kind == Kind::Link && hops < 40; ++hops)
            end = At(end->leadsTo);
        if (end == nullptr || end->kind == Kind::Link)
            return entry.kind == Kind::Link && disk_ == Disk::Linux;
        return end->kind == Kind::File;
    }

    // Only names that a path can spell again are reported: on Linux UTF-8
    // without a backslash; on Windows no wildcard, separator or control
    // character either.
    bool Reported(const std::string& name) const
    {
        if (disk_ == Disk::Windows)
            for (const char c : name)
                if (static_cast<unsigned char>(c) < 0x20 || std::string_view("/:*?\"<>|").find(c) != std::string_view::npos)
                    return false;
        return name.find('\\') == std::string::npos && IsUtf8(name);
    }

    // Every cookie file of the folder is listed. Delete removes it, or a
    // link there as a link, unless it is read-only or a folder by then; one
    // gone already counts as deleted. Under Wine a link cannot be removed
    // without what it leads to, so there it stays; but once what it leads
    // to is gone, Wine shows nothing there.
    void TakeCookies(const Entry& folder, const std::string& shown)
    {
        for (const Entry* entry : Ordered(folder.path)) {
            const std::string name = NameOf(entry->path);
            if (!IsFile(*entry) || !Reported(name) || name.find(".txt") == std::string::npos)
                continue;
            const std::string path = shown + "\\" + name;
            expectation_.found.push_back(path);
            const auto changed = [&](const std::vector<std::string>& paths) {
                return std::find(paths.begin(), paths.end(), entry->path) != paths.end();
            };
            const bool targetGone = expectation_.removed.count(entry->leadsTo) ||
                                    std::find(tree_.vanishing.begin(), tree_.vanishing.end(), entry->leadsTo) !=
                                        tree_.vanishing.end();
            if (changed(tree_.vanishing) || (entry->kind == Kind::Link && disk_ == Disk::Windows && targetGone))
                continue;
            if (changed(tree_.becomingFolders) || changed(tree_.becomingEmptyFolders) || entry->readOnly ||
                (entry->kind == Kind::Link && disk_ == Disk::Windows)) {
                expectation_.kept.push_back(path);
                expectation_.keptEntries.insert(entry->path);
            } else
                expectation_.removed.insert(entry->path);
        }
    }

    const Tree& tree_;
    Disk disk_;
    const FolderOrder& order_;
    std::map<std::string, const Entry*> at_;
    std::map<std::string, std::vector<const Entry*>> inside_;
    Expectation expectation_;
};

} // namespace

Tree Generate(std::uint32_t seed, Disk disk) { return Builder(seed, disk).Build(); }

Expectation Expect(const Tree& tree, Disk disk, const FolderOrder& order) { return Model(tree, disk, order).Walk(); }

} // namespace tallowick::testing::trees
