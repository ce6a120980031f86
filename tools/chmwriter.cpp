// Writes a compiled HTML help file (.chm) from a help project (.hhp): the [OPTIONS] Title,
// Default topic, Contents file, Index file and Language, and the [FILES] list. Every file is
// stored uncompressed, which every reader of the format accepts; the directory is one index chunk
// over as many listing chunks as the names need. Viewers read the title and the sitemap files
// (contents, index) in the Windows code page of the help's language, so these are written in
// Windows-1252 (the sources are UTF-8); the pages say their own character set.
//
//   chmwriter project.hhp output.chm
//
// Files named with leading "../" (shared by the projects of several languages) are stored under
// the rest of their name.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;
constexpr std::uint32_t kChunk = 0x1000;
constexpr std::uint32_t kQuickrefDensity = 2;

void put16(Bytes& b, std::uint32_t v)
{
    b += static_cast<char>(v & 0xff);
    b += static_cast<char>((v >> 8) & 0xff);
}
void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}
void put64(Bytes& b, std::uint64_t v)
{
    put32(b, static_cast<std::uint32_t>(v));
    put32(b, static_cast<std::uint32_t>(v >> 32));
}
void set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}
// GUIDs are stored as one DWORD, two WORDs and eight bytes.
void putGuid(Bytes& b, std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint64_t d4)
{
    put32(b, d1);
    put16(b, d2);
    put16(b, d3);
    for (int i = 7; i >= 0; --i)
        b += static_cast<char>((d4 >> (8 * i)) & 0xff);
}
// A variable-length number: seven bits a byte, most significant first, the high bit set on every
// byte but the last.
Bytes encint(std::uint64_t v)
{
    Bytes out(1, static_cast<char>(v & 0x7f));
    while ((v >>= 7) != 0)
        out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7f)));
    return out;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
std::string trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t\r\n");
    const auto e = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, e - a + 1);
}

// UTF-8 to Windows-1252; false for text that is not UTF-8 or has characters outside the code page.
bool toWindows1252(const std::string& utf8, std::string& out)
{
    static const std::map<std::uint32_t, unsigned char> kExtra = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86}, {0x2021, 0x87},
        {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91},
        {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98},
        {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}};
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0)
            return false;
        std::uint32_t cp = more == 0 ? c : c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += 1 + more;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
        } else {
            const auto it = kExtra.find(cp);
            if (it == kExtra.end())
                return false;
            out += static_cast<char>(it->second);
        }
    }
    return true;
}

struct Project {
    std::map<std::string, std::string> options;  // keys in lower case
    std::vector<std::string> files;
};

bool readProject(const std::filesystem::path& path, Project& project)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line, section;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = lower(line.substr(1, line.size() - 2));
        } else if (section == "options") {
            const auto eq = line.find('=');
            if (eq != std::string::npos)
                project.options[lower(trim(line.substr(0, eq)))] = trim(line.substr(eq + 1));
        } else if (section == "files") {
            std::replace(line.begin(), line.end(), '\\', '/');
            project.files.push_back(line);
        }
    }
    return true;
}

struct Entry {
    std::string name;  // "/index.html", "::DataSpace/NameList"
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Names are ordered without regard to case, as readers look them up.
bool before(const Entry& a, const Entry& b) { return lower(a.name) < lower(b.name); }

Bytes listingEntry(const Entry& e)
{
    return encint(e.name.size()) + e.name + encint(e.section) + encint(e.offset) + encint(e.length);
}

// Fills a chunk's end: free space, then the quickref offsets (every n-th entry from the first
// entry) written backwards, then the number of entries in the last two bytes.
Bytes finishChunk(Bytes chunk, std::size_t entriesStart, const std::vector<std::size_t>& entryOffsets)
{
    const std::size_t n = 1 + (1u << kQuickrefDensity);
    Bytes tail;
    for (std::size_t k = n; k < entryOffsets.size(); k += n) {
        Bytes w;
        put16(w, static_cast<std::uint32_t>(entryOffsets[k] - entriesStart));
        tail.insert(0, w);
    }
    put16(tail, static_cast<std::uint32_t>(entryOffsets.size()));
    const std::size_t free = kChunk - chunk.size();
    chunk.append(free - tail.size(), '\0');
    chunk += tail;
    return chunk;
}

std::size_t quickrefSize(std::size_t entries)
{
    const std::size_t n = 1 + (1u << kQuickrefDensity);
    return 2 + 2 * (entries / n);
}

struct Directory {
    std::vector<Bytes> chunks;
    std::int32_t indexRoot = -1;
    std::uint32_t firstListing = 0;
    std::uint32_t lastListing = 0;
};

bool buildDirectory(const std::vector<Entry>& entries, Directory& dir)
{
    // Listing chunks, filled in name order.
    std::vector<std::string> firstNames;
    std::size_t i = 0;
    while (i < entries.size()) {
        Bytes chunk = "PMGL";
        put32(chunk, 0);   // free space, set below
        put32(chunk, 0);
        put32(chunk, 0);   // previous and next listing chunk, set below
        put32(chunk, 0);
        const std::size_t start = chunk.size();
        std::vector<std::size_t> offsets;
        firstNames.push_back(entries[i].name);
        while (i < entries.size()) {
            const Bytes e = listingEntry(entries[i]);
            if (chunk.size() + e.size() + quickrefSize(offsets.size() + 1) > kChunk)
                break;
            offsets.push_back(chunk.size());
            chunk += e;
            ++i;
        }
        if (offsets.empty())
            return false;  // a name too long for a chunk
        const std::uint32_t free = kChunk - static_cast<std::uint32_t>(chunk.size());
        set32(chunk, 4, free);
        dir.chunks.push_back(finishChunk(chunk, start, offsets));
    }
    const auto listings = static_cast<std::uint32_t>(dir.chunks.size());
    for (std::uint32_t c = 0; c < listings; ++c) {
        set32(dir.chunks[c], 12, c == 0 ? 0xffffffffu : c - 1);
        set32(dir.chunks[c], 16, c + 1 == listings ? 0xffffffffu : c + 1);
    }
    dir.firstListing = 0;
    dir.lastListing = listings - 1;
    if (listings == 1)
        return true;

    // One index chunk naming the first entry of each listing chunk.
    Bytes index = "PMGI";
    put32(index, 0);
    const std::size_t start = index.size();
    std::vector<std::size_t> offsets;
    for (std::uint32_t c = 0; c < listings; ++c) {
        const Bytes e = encint(firstNames[c].size()) + firstNames[c] + encint(c);
        if (index.size() + e.size() + quickrefSize(offsets.size() + 1) > kChunk)
            return false;  // more names than one index level holds: not needed for help files
        offsets.push_back(index.size());
        index += e;
    }
    set32(index, 4, kChunk - static_cast<std::uint32_t>(index.size()));
    dir.chunks.push_back(finishChunk(index, start, offsets));
    dir.indexRoot = static_cast<std::int32_t>(listings);
    return true;
}

Bytes systemFile(const Project& p, std::uint32_t lcid, const std::string& stem)
{
    Bytes s;
    put32(s, 3);
    auto text = [&s](std::uint16_t code, const std::string& value) {
        put16(s, code);
        put16(s, static_cast<std::uint32_t>(value.size() + 1));
        s += value;
        s += '\0';
    };
    auto option = [&p](const char* key) {
        const auto it = p.options.find(key);
        return it == p.options.end() ? std::string() : it->second;
    };
    text(9, "Fotolauf chmwriter 1");
    put16(s, 4);
    put16(s, 36);
    put32(s, lcid);
    put32(s, 0);  // no double-byte character set
    put32(s, 0);  // no full-text search
    put32(s, 0);  // no keyword links
    put32(s, 0);  // no associative links
    put64(s, 0);
    put32(s, 0);
    put32(s, 0);
    text(2, option("default topic"));
    std::string title;
    text(3, toWindows1252(option("title"), title) ? title : option("title"));
    text(6, stem);
    if (!option("contents file").empty())
        text(0, option("contents file"));
    if (!option("index file").empty())
        text(1, option("index file"));
    return s;
}

// The names of the content sections, as UTF-16 words: only the uncompressed one.
Bytes nameList()
{
    const std::string name = "Uncompressed";
    Bytes b;
    put16(b, static_cast<std::uint32_t>(2 + 1 + name.size() + 1));
    put16(b, 1);
    put16(b, static_cast<std::uint32_t>(name.size()));
    for (const char c : name)
        put16(b, static_cast<unsigned char>(c));
    put16(b, 0);
    return b;
}

std::uint32_t languageOf(const std::string& value)
{
    // "0x407 German (Germany)" as the help workshop writes it.
    return static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 0));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: chmwriter project.hhp output.chm\n";
        return 2;
    }
    const std::filesystem::path projectPath = argv[1];
    const std::filesystem::path output = argv[2];
    Project project;
    if (!readProject(projectPath, project)) {
        std::cerr << "chmwriter: cannot read " << projectPath << '\n';
        return 1;
    }
    const std::uint32_t lcid = project.options.count("language") ? languageOf(project.options["language"]) : 0x409;

    std::vector<Entry> entries;
    Bytes content;
    auto add = [&entries, &content](const std::string& name, const Bytes& data) {
        entries.push_back({name, 0, content.size(), data.size()});
        content += data;
    };
    add("/#SYSTEM", systemFile(project, lcid, lower(output.stem().string())));
    add("::DataSpace/NameList", nameList());
    entries.push_back({"/", 0, 0, 0});
    std::vector<std::string> files = project.files;
    for (const char* key : {"contents file", "index file"}) {
        const auto it = project.options.find(key);
        if (it != project.options.end() && std::find(files.begin(), files.end(), it->second) == files.end())
            files.push_back(it->second);
    }
    for (const std::string& file : files) {
        std::ifstream in(projectPath.parent_path() / file, std::ios::binary);
        if (!in) {
            std::cerr << "chmwriter: cannot read " << file << '\n';
            return 1;
        }
        std::ostringstream data;
        data << in.rdbuf();
        std::string stored = data.str();
        const std::string kind = lower(std::filesystem::path(file).extension().string());
        if ((kind == ".hhc" || kind == ".hhk") && !toWindows1252(data.str(), stored)) {
            std::cerr << "chmwriter: " << file << " is not UTF-8 text that Windows-1252 can hold\n";
            return 1;
        }
        // A file shared by several projects ("../style.css") is stored beside the pages.
        std::string name = file;
        while (name.rfind("../", 0) == 0)
            name.erase(0, 3);
        add('/' + name, stored);
    }
    std::sort(entries.begin(), entries.end(), before);
    for (std::size_t k = 1; k < entries.size(); ++k)
        if (lower(entries[k - 1].name) == lower(entries[k].name)) {
            std::cerr << "chmwriter: " << entries[k].name << " is listed twice\n";
            return 1;
        }

    Directory dir;
    if (!buildDirectory(entries, dir)) {
        std::cerr << "chmwriter: the file names do not fit the directory\n";
        return 1;
    }

    constexpr std::uint32_t kItsf = 0x60, kSection0 = 0x18, kItsp = 0x54;
    const std::uint64_t dirLength = kItsp + static_cast<std::uint64_t>(dir.chunks.size()) * kChunk;
    const std::uint64_t contentOffset = kItsf + kSection0 + dirLength;
    const std::uint64_t fileSize = contentOffset + content.size();

    Bytes out = "ITSF";
    put32(out, 3);
    put32(out, kItsf);
    put32(out, 1);
    put32(out, 0);  // time stamp: none, so that the same sources give the same file
    put32(out, lcid);
    putGuid(out, 0x7C01FD10, 0x7BAA, 0x11D0, 0x9E0C00A0C922E6ECull);
    putGuid(out, 0x7C01FD11, 0x7BAA, 0x11D0, 0x9E0C00A0C922E6ECull);
    put64(out, kItsf);
    put64(out, kSection0);
    put64(out, kItsf + kSection0);
    put64(out, dirLength);
    put64(out, contentOffset);

    put32(out, 0x01FE);
    put32(out, 0);
    put64(out, fileSize);
    put32(out, 0);
    put32(out, 0);

    out += "ITSP";
    put32(out, 1);
    put32(out, kItsp);
    put32(out, 0x0a);
    put32(out, kChunk);
    put32(out, kQuickrefDensity);
    put32(out, dir.indexRoot < 0 ? 1 : 2);
    put32(out, static_cast<std::uint32_t>(dir.indexRoot));
    put32(out, dir.firstListing);
    put32(out, dir.lastListing);
    put32(out, 0xffffffffu);
    put32(out, static_cast<std::uint32_t>(dir.chunks.size()));
    put32(out, lcid);
    putGuid(out, 0x5D02926A, 0x212E, 0x11D0, 0x9DF900A0C922E6ECull);
    put32(out, kItsp);
    put32(out, 0xffffffffu);
    put32(out, 0xffffffffu);
    put32(out, 0xffffffffu);
    for (const Bytes& c : dir.chunks)
        out += c;
    out += content;

    const std::filesystem::path temp = output.string() + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        if (!file) {
            std::cerr << "chmwriter: cannot write " << temp << '\n';
            return 1;
        }
    }
    std::filesystem::rename(temp, output);
    return 0;
}
