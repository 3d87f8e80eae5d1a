#include "functions/logic/filelist.h"

#include "functions/logic/charset.h"
#include "errors.h"
#include "functions/logic/filenames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace tarn::fn {

std::vector<std::string> matchNames(const std::string& dir, std::string_view mask, bool directories, bool hidden) {
    std::vector<std::string> names;
    std::string d = dir.empty() ? "./" : dir;
    if (d.back() != '/') d += '/';
    DIR* h = opendir(d.c_str());
    if (!h) return names;
    while (dirent* e = readdir(h)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!maskMatch(name, mask, hidden)) continue;
        struct stat st;
        if (stat((d + name).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode) != directories) continue;
        names.push_back(std::move(name));
    }
    closedir(h);
    std::sort(names.begin(), names.end());
    return names;
}

Listing itemizeNames(std::string_view masks, std::string_view delim, bool directories, bool hidden, std::size_t limit) {
    Listing out;
    for (const auto& m : splitMasks(masks, delim)) {
        std::string mask = slashes(m);
        std::string dir = dirPart(mask), name = namePart(mask);
        std::vector<std::string> names;
        if (hasWildcards(name)) {
            names = matchNames(dir, name, directories, hidden);
        } else if (!name.empty()) {
            std::string p = dir.empty() ? name : dir + name;
            if (directories ? isDirectory(p) : isFile(p)) names.push_back(name);
        }
        for (const auto& n : names) {
            if (out.list.size() + n.size() + delim.size() > limit) {
                out.error = err::ListAllocationCouldNotItemizeAll;
                break;
            }
            out.list += n;
            out.list += delim;
        }
        if (out.error) break;
    }
    if (!out.list.empty()) out.list.resize(out.list.size() - delim.size());
    return out;
}

int walkFiles(std::string_view list, std::string_view delim, bool forDelete, const FileAction& action) {
    for (const auto& m : splitMasks(list, delim)) {
        if (charCount(m) > kMaskMax) return err::UnrecognizableItem;
        std::string mask = slashes(m);
        std::string name = namePart(mask);
        if (!hasWildcards(name)) {
            std::string path = fullPath(mask);
            if (forDelete && !isFile(path)) continue;
            if (int rc = action(path)) return rc;
            continue;
        }
        std::string dir = fullPath(dirPart(mask).empty() ? "." : dirPart(mask));
        if (dir.back() != '/') dir += '/';
        auto names = matchNames(dir, name, false, false);
        if (names.empty()) {
            if (forDelete) continue;
            return err::FileListProcessingNo;
        }
        for (const auto& n : names)
            if (int rc = action(dir + n)) return rc;
    }
    return 0;
}

}  // namespace tarn::fn
