#pragma once
// Helpers shared by the clone file tests: a temporary folder, whole-file read and write,
// the clone file text of an image built independently of the writer, and this family's
// file checks.
#include "image/AddressRange.h"
#include "image/cmcEeprom.h"
#include "image/cmcIcfFile.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace clonefile {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    // inMemory: under /dev/shm where there is one, so that thousands of small files cost
    // no disk traffic.
    explicit TempFolder(bool inMemory = false)
    {
        std::error_code ec;
        const bool shm = inMemory && std::filesystem::is_directory("/dev/shm", ec);
        const std::filesystem::path base =
            shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        std::string pattern = (base / "torvane-icf-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
    [[nodiscard]] std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of everything in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Image of size bytes with reproducible pseudo-random content.
inline void FillRandom(cmcEeprom& image, int size, unsigned seed)
{
    image.SetSize(size);
    std::mt19937 random(seed);
    for (int a = 0; a < size; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(random() & 0xFF));
}

// Data lines of image addresses first to last, 16-byte runs, built here rather than by the
// writer under test. eol ends each line; lowerCase writes the digits in lower case.
inline std::string DataLines(const cmcEeprom& image, int first, int last, const std::string& eol = "\r\n",
                             bool lowerCase = false)
{
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    auto hex = [digits](std::string& out, unsigned value, int width) {
        for (int shift = (width - 1) * 4; shift >= 0; shift -= 4)
            out += digits[(value >> shift) & 0xF];
    };
    std::string text;
    for (int a = first; a <= last;) {
        const int n = std::min(16 - a % 16, last - a + 1);
        hex(text, static_cast<unsigned>(a), 4);
        hex(text, static_cast<unsigned>(n), 2);
        for (int i = 0; i < n; ++i)
            hex(text, image.GetByte(a + i), 2);
        text += eol;
        a += n;
    }
    return text;
}

inline std::string Head(const std::string& header = "88260000", const std::string& eol = "\r\n")
{
    return header + eol + "#Comment=Test" + eol + "#MapRev=1" + eol;
}

// The family's file model check: word 1 must be 0x8826, word 2 0x0000 or 0x0100.
inline bool FamilyModelCheck(int word1, int word2, cmcIcfResult& code)
{
    if (word1 != 0x8826) {
        code = cmcIcfResult::Model;
        return false;
    }
    if (word2 != 0x0000 && word2 != 0x0100) {
        code = cmcIcfResult::Extra;
        return false;
    }
    return true;
}

// A clone file accepts map revisions below 2; a repeater data file exactly 1.
inline bool CloneMapRev(int mapRev)
{
    return mapRev < 2;
}
inline bool RepeaterMapRev(int mapRev)
{
    return mapRev == 1;
}

inline const AddressRangeList& RadioMemoryRanges()
{
    static const AddressRangeList ranges{{0x0000, cmcRadioMemoryEnd}, AddressRangeList::ListEnd};
    return ranges;
}

inline const AddressRangeList& RepeaterRanges()
{
    static const AddressRangeList ranges{{0x0000, 0x00D6}, AddressRangeList::ListEnd};
    return ranges;
}

// A reader configured as the main window configures it for a clone file.
inline void ConfigureForCloneFile(cmcIcfFile& file, cmcEeprom& image)
{
    file.SetImage(image);
    file.SetModelWords(0x8826, 0x0000);
    file.SetModelCheck(FamilyModelCheck);
    file.SetMapRevCheck(CloneMapRev);
}

} // namespace clonefile
