// A registry, a disk and a user in memory for the shell registration: keys
// and files are compared without regard to case, as Windows does; writes can
// be refused per root (no rights) or per key (the value write fails after the
// key was created); the user's answers are scripted.
#pragma once

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/shell_registration.h"

class FakeShellSystem : public ShellSystem {
public:
    static std::string Lower(std::string s)
    {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    static const char* RootName(RegRoot root)
    {
        switch (root) {
        case REG_ROOT_CLASSES: return "HKCR";
        case REG_ROOT_USER_CLASSES: return "HKCU\\Software\\Classes";
        case REG_ROOT_MACHINE: return "HKLM";
        case REG_ROOT_USER: return "HKCU";
        }
        return "?";
    }

    // Sets a value as another program (or the user) would; no failures.
    void Put(RegRoot root, const std::string& path, const char* name, const std::string& text)
    {
        CreateKeys(root, path);
        keys[{root, Lower(path)}].values[name ? Lower(name) : ""] = {name ? name : "", text};
    }

    // Every key and value of a root, sorted by key path: "path" for a key,
    // "path = text" for its default and "path [name] = text" for others.
    std::vector<std::string> Dump(RegRoot root) const
    {
        std::vector<std::string> lines;
        for (const auto& [id, key] : keys) {
            if (id.first != root)
                continue;
            lines.push_back(key.path);
            for (const auto& [lowerName, value] : key.values) {
                lines.push_back(key.path + (value.first.empty() ? "" : " [" + value.first + "]")
                    + " = " + value.second);
            }
        }
        return lines;
    }

    bool KeyExists(RegRoot root, const char* path) override { return keys.count({root, Lower(path)}) != 0; }

    bool ReadText(RegRoot root, const char* path, const char* name, std::string& text) override
    {
        text.clear();
        auto key = keys.find({root, Lower(path)});
        if (key == keys.end())
            return false;
        auto value = key->second.values.find(name ? Lower(name) : "");
        if (value == key->second.values.end())
            return false;
        text = value->second.second;
        return true;
    }

    long WriteText(RegRoot root, const char* path, const char* name, const char* text) override
    {
        if (deniedRoots.count(root))
            return ACCESS_DENIED;
        CreateKeys(root, path);
        if (Lower(path) == Lower(failValueAt))
            return CANT_WRITE;
        std::string line = std::string(RootName(root)) + "\\" + path;
        if (name)
            line += " [" + std::string(name) + "]";
        writes.push_back(line + " = " + text);
        keys[{root, Lower(path)}].values[name ? Lower(name) : ""] = {name ? name : "", text};
        return 0;
    }

    bool DeleteValue(RegRoot root, const char* path, const char* name) override
    {
        auto key = keys.find({root, Lower(path)});
        return key != keys.end() && key->second.values.erase(name ? Lower(name) : "") != 0;
    }

    bool DeleteKeyTree(RegRoot root, const char* path) override
    {
        std::string lower = Lower(path);
        bool found = false;
        for (auto it = keys.begin(); it != keys.end();) {
            const std::string& p = it->first.second;
            if (it->first.first == root && (p == lower || p.rfind(lower + "\\", 0) == 0)) {
                it = keys.erase(it);
                found = true;
            } else {
                ++it;
            }
        }
        return found;
    }

    bool KeyIsEmpty(RegRoot root, const char* path) override
    {
        std::string lower = Lower(path);
        auto key = keys.find({root, lower});
        if (key == keys.end() || !key->second.values.empty())
            return false;
        for (const auto& entry : keys) {
            if (entry.first.first == root && entry.first.second.rfind(lower + "\\", 0) == 0)
                return false;
        }
        return true;
    }

    std::string InstallDirectory() override { return "C:\\Program Files"; }

    bool MakeDirectory(const char* path) override
    {
        directories.insert(Lower(path));
        return true;
    }

    bool CopyFileTo(const char* from, const char* to, bool overwrite) override
    {
        auto source = files.find(Lower(from));
        if (source == files.end() || (!overwrite && files.count(Lower(to))))
            return false;
        std::string content = source->second;
        files[Lower(to)] = content;
        return true;
    }

    RemoveResult RemoveFile(const char* path) override
    {
        if (!files.count(Lower(path)))
            return REMOVE_MISSING;
        if (lockedFiles.count(Lower(path)))
            return REMOVE_FAILED;
        files.erase(Lower(path));
        return REMOVE_DONE;
    }

    bool DeleteDirectory(const char* path) override
    {
        std::string prefix = Lower(path) + "\\";
        for (const auto& file : files) {
            if (file.first.rfind(prefix, 0) == 0)
                return false;
        }
        return directories.erase(Lower(path)) != 0;
    }

    Answer Ask(const char* text, bool withCancel) override
    {
        questions.push_back(text);
        cancelOffered.push_back(withCancel);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return ANSWER_CANCEL;
        }
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void Tell(const char* text) override { notices.push_back(text); }

    int SystemVersion() override { return version; }

    enum { ACCESS_DENIED = 5, CANT_WRITE = 0x3F5 };

    std::set<RegRoot> deniedRoots;
    std::string failValueAt;                        // this key is created, its value write fails
    std::map<std::string, std::string> files;       // lower-case path → content
    std::set<std::string> lockedFiles;              // lower-case paths that cannot be deleted
    std::set<std::string> directories;
    std::deque<Answer> answers;
    std::vector<std::string> questions;
    std::vector<bool> cancelOffered;
    std::vector<std::string> notices;
    std::vector<std::string> writes;                // successful writes, in order
    int version = 0x0A00;

private:
    struct Key {
        std::string path;                           // as first written
        std::map<std::string, std::pair<std::string, std::string>> values;   // lower name → name, text
    };

    void CreateKeys(RegRoot root, const std::string& path)
    {
        for (size_t end = path.find('\\'); ; end = path.find('\\', end + 1)) {
            std::string prefix = path.substr(0, end);
            Key& key = keys[{root, Lower(prefix)}];
            if (key.path.empty())
                key.path = prefix;
            if (end == std::string::npos)
                break;
        }
    }

    std::map<std::pair<RegRoot, std::string>, Key> keys;
};
