#include "archive/pe_resources.h"

#include "archive/pe_image.h"
#include "common/little_endian.h"
#include "common/string_format.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr std::size_t kDirectorySize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kMaxResources = 65536;
constexpr std::uint64_t kMaxResourceBytes = 64u << 20;
constexpr std::size_t kResourceDirectory = 2;
constexpr std::size_t kSecurityDirectory = 4;
constexpr std::size_t kRelocationDirectory = 5;
constexpr std::size_t kSectionHeaderSize = 40;

std::uint64_t AlignUp(std::uint64_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

struct Section {
    std::size_t header = 0; // file offset of its 40-byte header
    std::uint32_t address = 0, virtualSize = 0, rawOffset = 0, rawSize = 0;

    std::uint32_t Span() const { return std::max(virtualSize, rawSize); }
};

// Where the fields that the resource rewrite reads and changes lie.
struct Layout {
    std::size_t optional = 0;    // file offset of the optional header
    std::size_t directories = 0; // file offset of data directory 0
    std::uint32_t directoryCount = 0;
    std::uint32_t sectionAlignment = 0, fileAlignment = 0;
    std::uint32_t symbolTable = 0;
    std::size_t headersEnd = 0; // the end of the section table
    std::vector<Section> sections;

    std::uint32_t DirectoryField(const std::vector<std::uint8_t>& image, std::size_t index, std::size_t field) const {
        return index < directoryCount ? LoadLittleEndian32(image.data() + directories + index * kEntrySize + field) : 0;
    }
};

bool PowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

bool ParseLayout(const std::vector<std::uint8_t>& image, Layout& layout, std::string& error) {
    std::uint32_t pe = 0;
    PeHeaderFields fields;
    if (!ReadPeOffset(image.data(), image.size(), pe) || pe > image.size() ||
        !ParsePeHeaders(image.data() + pe, image.size() - pe, pe, fields)) {
        error = "it is no PE executable";
        return false;
    }
    const std::uint8_t* headers = image.data() + pe;
    const std::size_t sectionCount = LoadLittleEndian16(headers + 6);
    const std::size_t optionalSize = LoadLittleEndian16(headers + 20);
    layout.optional = pe + 24;
    const bool plus = LoadLittleEndian16(image.data() + layout.optional) == 0x20B;
    layout.directories = layout.optional + (plus ? 112 : 96);
    layout.directoryCount = LoadLittleEndian32(image.data() + layout.directories - 4);
    layout.sectionAlignment = LoadLittleEndian32(image.data() + layout.optional + 32);
    layout.fileAlignment = LoadLittleEndian32(image.data() + layout.optional + 36);
    layout.symbolTable = LoadLittleEndian32(headers + 12);
    const std::size_t table = layout.optional + optionalSize;
    if (!PowerOfTwo(layout.sectionAlignment) || !PowerOfTwo(layout.fileAlignment) ||
        layout.fileAlignment > layout.sectionAlignment || table + sectionCount * kSectionHeaderSize > image.size()) {
        error = "its PE headers are malformed";
        return false;
    }
    layout.headersEnd = table + sectionCount * kSectionHeaderSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::uint8_t* header = image.data() + table + i * kSectionHeaderSize;
        Section section{table + i * kSectionHeaderSize, LoadLittleEndian32(header + 12), LoadLittleEndian32(header + 8),
                        LoadLittleEndian32(header + 20), LoadLittleEndian32(header + 16)};
        // Without raw data a section's file offset means nothing (the loader
        // ignores it), so only sections with data must lie inside the file.
        if ((section.rawSize != 0 && std::uint64_t{section.rawOffset} + section.rawSize > image.size()) ||
            std::uint64_t{section.address} + section.Span() > 0xFFFFFFFFu) {
            error = "a section of it lies outside the file";
            return false;
        }
        layout.sections.push_back(section);
    }
    return true;
}

// The section holding the resource tree, or null when the image has none.
const Section* ResourceSection(const std::vector<std::uint8_t>& image, const Layout& layout) {
    const std::uint32_t address = layout.DirectoryField(image, kResourceDirectory, 0);
    if (address == 0 || layout.DirectoryField(image, kResourceDirectory, 4) == 0) return nullptr;
    for (const Section& section : layout.sections)
        if (address >= section.address && address - section.address < section.Span()) return &section;
    return nullptr;
}

// Walks a resource tree held in the raw bytes of one section.
class TreeReader {
public:
    TreeReader(const std::vector<std::uint8_t>& image, const Section& section, std::uint32_t root)
        : image_(image), section_(section), root_(root) {}

    bool Read(std::vector<PeResource>& resources, std::string& error) {
        PeResource path;
        if (!Directory(root_, 0, path, resources)) {
            error = "its resource tree is malformed (" + problem_ + ")";
            return false;
        }
        return true;
    }

private:
    const std::uint8_t* At(std::uint64_t offset, std::uint64_t size) {
        if (offset + size > section_.rawSize) return nullptr;
        return image_.data() + section_.rawOffset + offset;
    }

    bool Fail(const char* problem) {
        problem_ = problem;
        return false;
    }

    bool Id(std::uint32_t field, PeResourceId& id) {
        id = {};
        if ((field & kHighBit) == 0) {
            if (field > 0xFFFF) return Fail("a number above 65535");
            id.number = static_cast<std::uint16_t>(field);
            return true;
        }
        const std::uint32_t offset = field & ~kHighBit;
        const std::uint8_t* count = At(offset, 2);
        if (count == nullptr) return Fail("a name outside the section");
        const std::uint32_t units = LoadLittleEndian16(count);
        const std::uint8_t* text = At(std::uint64_t{offset} + 2, std::uint64_t{units} * 2);
        if (text == nullptr || units == 0) return Fail("a name outside the section");
        for (std::uint32_t i = 0; i < units; ++i) id.name += static_cast<char16_t>(LoadLittleEndian16(text + 2 * i));
        return true;
    }

    // Level 0 lists types, 1 names, 2 languages, whose entries name data.
    bool Directory(std::uint32_t offset, int level, PeResource& path, std::vector<PeResource>& resources) {
        const std::uint8_t* header = At(offset, kDirectorySize);
        if (header == nullptr) return Fail("a directory outside the section");
        const std::uint32_t count = LoadLittleEndian16(header + 12) + LoadLittleEndian16(header + 14);
        const std::uint8_t* entries = At(std::uint64_t{offset} + kDirectorySize, std::uint64_t{count} * kEntrySize);
        if (entries == nullptr) return Fail("a directory outside the section");
        for (std::uint32_t i = 0; i < count; ++i) {
            // Shared subdirectories could make a small tree list resources
            // without end: every entry visited counts.
            if (++visited_ > kMaxResources * 3) return Fail("too many entries");
            const std::uint8_t* entry = entries + i * kEntrySize;
            const std::uint32_t target = LoadLittleEndian32(entry + 4);
            if (level < 2) {
                PeResourceId& id = level == 0 ? path.type : path.name;
                if (!Id(LoadLittleEndian32(entry), id)) return false;
                if ((target & kHighBit) == 0) return Fail("data where a directory belongs");
                if (!Directory(target & ~kHighBit, level + 1, path, resources)) return false;
                continue;
            }
            const std::uint32_t language = LoadLittleEndian32(entry);
            if ((language & kHighBit) != 0 || language > 0xFFFF) return Fail("a language that is no number");
            if ((target & kHighBit) != 0) return Fail("a directory where data belongs");
            if (!Data(target, path, static_cast<std::uint16_t>(language), resources)) return false;
        }
        return true;
    }

    bool Data(std::uint32_t offset, const PeResource& path, std::uint16_t language,
              std::vector<PeResource>& resources) {
        const std::uint8_t* entry = At(offset, kDataEntrySize);
        if (entry == nullptr) return Fail("a data entry outside the section");
        const std::uint32_t address = LoadLittleEndian32(entry);
        const std::uint32_t size = LoadLittleEndian32(entry + 4);
        if (address < section_.address) return Fail("data outside the section");
        const std::uint8_t* data = At(std::uint64_t{address} - section_.address, size);
        if (data == nullptr) return Fail("data outside the section");
        if (resources.size() == kMaxResources) return Fail("more than 65536 resources");
        bytes_ += size;
        if (bytes_ > kMaxResourceBytes) return Fail("more than 64 MiB of data");
        PeResource resource{path.type, path.name, language, LoadLittleEndian32(entry + 8), {data, data + size}};
        resources.push_back(std::move(resource));
        return true;
    }

    const std::vector<std::uint8_t>& image_;
    const Section& section_;
    const std::uint32_t root_;
    std::size_t visited_ = 0;
    std::uint64_t bytes_ = 0;
    std::string problem_;
};

// Named before numbered, names by their code units, numbers ascending.
bool IdLess(const PeResourceId& a, const PeResourceId& b) {
    if (a.name.empty() != b.name.empty()) return !a.name.empty();
    return a.name.empty() ? a.number < b.number : a.name < b.name;
}

struct NameNode {
    PeResourceId id;
    std::vector<const PeResource*> languages;
};
struct TypeNode {
    PeResourceId id;
    std::vector<NameNode> names;
};

std::vector<TypeNode> BuildTree(const std::vector<PeResource>& resources) {
    std::vector<const PeResource*> sorted;
    for (const PeResource& resource : resources) sorted.push_back(&resource);
    std::stable_sort(sorted.begin(), sorted.end(), [](const PeResource* a, const PeResource* b) {
        if (!(a->type == b->type)) return IdLess(a->type, b->type);
        if (!(a->name == b->name)) return IdLess(a->name, b->name);
        return a->language < b->language;
    });
    std::vector<TypeNode> types;
    for (const PeResource* resource : sorted) {
        if (types.empty() || !(types.back().id == resource->type)) types.push_back({resource->type, {}});
        std::vector<NameNode>& names = types.back().names;
        if (names.empty() || !(names.back().id == resource->name)) names.push_back({resource->name, {}});
        names.back().languages.push_back(resource);
    }
    return types;
}

// The bytes of a resource section at address holding the tree.
std::vector<std::uint8_t> WriteTree(const std::vector<TypeNode>& types, std::uint32_t address) {
    // First the offsets: directories, data entries, names, data.
    std::size_t size = kDirectorySize + types.size() * kEntrySize;
    std::size_t nameDirectories = 0, leaves = 0, nameBytes = 0;
    for (const TypeNode& type : types) {
        size += kDirectorySize + type.names.size() * kEntrySize;
        nameBytes += type.id.name.empty() ? 0 : 2 + 2 * type.id.name.size();
        for (const NameNode& name : type.names) {
            ++nameDirectories;
            leaves += name.languages.size();
            nameBytes += name.id.name.empty() ? 0 : 2 + 2 * name.id.name.size();
        }
    }
    std::size_t nameDirectoryBytes = nameDirectories * kDirectorySize + leaves * kEntrySize;
    const std::size_t dataEntries = size + nameDirectoryBytes;
    const std::size_t strings = dataEntries + leaves * kDataEntrySize;
    std::size_t end = AlignUp(strings + nameBytes, 8);
    for (const TypeNode& type : types)
        for (const NameNode& name : type.names)
            for (const PeResource* resource : name.languages) end = AlignUp(end + resource->data.size(), 8);

    std::vector<std::uint8_t> out(end, 0);
    std::size_t nextDirectory = kDirectorySize + types.size() * kEntrySize;
    std::size_t nextEntry = dataEntries, nextString = strings, nextData = AlignUp(strings + nameBytes, 8);
    const auto directory = [&](std::size_t at, std::size_t named, std::size_t numbered) {
        StoreLittleEndian16(static_cast<std::uint32_t>(named), &out[at + 12]);
        StoreLittleEndian16(static_cast<std::uint32_t>(numbered), &out[at + 14]);
    };
    const auto idField = [&](const PeResourceId& id) -> std::uint32_t {
        if (id.name.empty()) return id.number;
        const std::size_t at = nextString;
        StoreLittleEndian16(static_cast<std::uint32_t>(id.name.size()), &out[at]);
        for (std::size_t i = 0; i < id.name.size(); ++i) StoreLittleEndian16(id.name[i], &out[at + 2 + 2 * i]);
        nextString += 2 + 2 * id.name.size();
        return kHighBit | static_cast<std::uint32_t>(at);
    };
    const auto countNamed = [](const auto& nodes) {
        return static_cast<std::size_t>(
            std::count_if(nodes.begin(), nodes.end(), [](const auto& node) { return !node.id.name.empty(); }));
    };
    directory(0, countNamed(types), types.size() - countNamed(types));
    // Type directories follow the root, name directories follow them all.
    std::size_t nextNameDirectory = size;
    for (std::size_t t = 0; t < types.size(); ++t) {
        const TypeNode& type = types[t];
        const std::size_t typeAt = nextDirectory;
        nextDirectory += kDirectorySize + type.names.size() * kEntrySize;
        StoreLittleEndian32(idField(type.id), &out[kDirectorySize + t * kEntrySize]);
        StoreLittleEndian32(kHighBit | static_cast<std::uint32_t>(typeAt), &out[kDirectorySize + t * kEntrySize + 4]);
        directory(typeAt, countNamed(type.names), type.names.size() - countNamed(type.names));
        for (std::size_t n = 0; n < type.names.size(); ++n) {
            const NameNode& name = type.names[n];
            const std::size_t nameAt = nextNameDirectory;
            nextNameDirectory += kDirectorySize + name.languages.size() * kEntrySize;
            const std::size_t slot = typeAt + kDirectorySize + n * kEntrySize;
            StoreLittleEndian32(idField(name.id), &out[slot]);
            StoreLittleEndian32(kHighBit | static_cast<std::uint32_t>(nameAt), &out[slot + 4]);
            directory(nameAt, 0, name.languages.size());
            for (std::size_t l = 0; l < name.languages.size(); ++l) {
                const PeResource& resource = *name.languages[l];
                const std::size_t leaf = nameAt + kDirectorySize + l * kEntrySize;
                StoreLittleEndian32(resource.language, &out[leaf]);
                StoreLittleEndian32(static_cast<std::uint32_t>(nextEntry), &out[leaf + 4]);
                StoreLittleEndian32(address + static_cast<std::uint32_t>(nextData), &out[nextEntry]);
                StoreLittleEndian32(static_cast<std::uint32_t>(resource.data.size()), &out[nextEntry + 4]);
                StoreLittleEndian32(resource.codePage, &out[nextEntry + 8]);
                nextEntry += kDataEntrySize;
                if (!resource.data.empty()) std::memcpy(&out[nextData], resource.data.data(), resource.data.size());
                nextData = AlignUp(nextData + resource.data.size(), 8);
            }
        }
    }
    return out;
}

} // namespace

bool ReadPeResources(const std::vector<std::uint8_t>& image, std::vector<PeResource>& resources, std::string& error) {
    resources.clear();
    Layout layout;
    if (!ParseLayout(image, layout, error)) return false;
    const std::uint32_t address = layout.DirectoryField(image, kResourceDirectory, 0);
    if (address == 0) return true;
    const Section* section = ResourceSection(image, layout);
    if (section == nullptr) {
        error = "its resource directory lies in no section";
        return false;
    }
    return TreeReader(image, *section, address - section->address).Read(resources, error);
}

bool WritePeResources(std::vector<std::uint8_t>& image, const std::vector<PeResource>& resources, std::string& error) {
    Layout layout;
    if (!ParseLayout(image, layout, error)) return false;
    if (layout.DirectoryField(image, kSecurityDirectory, 4) != 0) {
        error = "it is code-signed; give the unsigned image";
        return false;
    }
    const Section* found = ResourceSection(image, layout);
    if (found == nullptr || layout.DirectoryField(image, kResourceDirectory, 0) != found->address) {
        error = "it has no resource section of its own";
        return false;
    }
    const Section rsrc = *found;
    // The new section is written where the old one starts: never over the headers.
    if (rsrc.rawOffset < layout.headersEnd) {
        error = "its resource section overlaps its headers";
        return false;
    }
    // What follows the resources moves: the base relocations alone may.
    const std::uint32_t relocationAddress = layout.DirectoryField(image, kRelocationDirectory, 0);
    const Section* reloc = nullptr;
    std::uint64_t fileEnd = 0;
    for (const Section& section : layout.sections) {
        if (section.rawSize != 0)
            fileEnd = std::max<std::uint64_t>(fileEnd, std::uint64_t{section.rawOffset} + section.rawSize);
        if (&section == found) continue;
        const std::uint64_t rawEnd = std::uint64_t{section.rawOffset} + section.rawSize;
        if (section.address < rsrc.address) {
            if ((section.rawSize != 0 && rawEnd > rsrc.rawOffset) ||
                std::uint64_t{section.address} + section.Span() > rsrc.address) {
                error = "its sections are not in the order of their addresses";
                return false;
            }
            continue;
        }
        const bool relocations =
            relocationAddress >= section.address && relocationAddress - section.address < section.Span();
        if (!relocations || reloc != nullptr ||
            (section.rawSize != 0 && section.rawOffset < std::uint64_t{rsrc.rawOffset} + rsrc.rawSize)) {
            error = "a section other than the base relocations follows its resources";
            return false;
        }
        reloc = &section;
    }
    for (std::size_t d = 0; d < layout.directoryCount; ++d) {
        const std::uint32_t address = layout.DirectoryField(image, d, 0);
        if (d == kResourceDirectory || d == kRelocationDirectory || d == kSecurityDirectory || address == 0) continue;
        if (address >= rsrc.address) {
            error = StringFormat("its data directory %zu points into the sections that move", d);
            return false;
        }
    }
    if (layout.symbolTable != 0) {
        error = "it carries a symbol table; give the stripped image";
        return false;
    }

    const std::vector<std::uint8_t> tree = WriteTree(BuildTree(resources), rsrc.address);
    const std::uint64_t relocationSpan = reloc != nullptr ? std::uint64_t{reloc->Span()} + layout.sectionAlignment : 0;
    if (std::uint64_t{rsrc.address} + tree.size() + relocationSpan > 0xFFFFFFFFu) {
        error = "its resources would reach beyond 4 GiB of address space";
        return false;
    }
    const auto treeSize = static_cast<std::uint32_t>(tree.size());
    const auto rawSize = static_cast<std::uint32_t>(AlignUp(treeSize, layout.fileAlignment));
    std::vector<std::uint8_t> out(image.begin(), image.begin() + rsrc.rawOffset);
    out.insert(out.end(), tree.begin(), tree.end());
    out.resize(std::uint64_t{rsrc.rawOffset} + rawSize, 0);
    std::uint32_t imageEnd = rsrc.address + treeSize;
    if (reloc != nullptr) {
        const auto newAddress = static_cast<std::uint32_t>(AlignUp(imageEnd, layout.sectionAlignment));
        const auto newOffset = static_cast<std::uint32_t>(out.size());
        if (reloc->rawSize != 0)
            out.insert(out.end(), image.begin() + reloc->rawOffset, image.begin() + reloc->rawOffset + reloc->rawSize);
        StoreLittleEndian32(newAddress, &out[reloc->header + 12]);
        StoreLittleEndian32(newOffset, &out[reloc->header + 20]);
        const std::size_t entry = layout.directories + kRelocationDirectory * kEntrySize;
        StoreLittleEndian32(relocationAddress - reloc->address + newAddress, &out[entry]);
        imageEnd = newAddress + reloc->virtualSize;
    }
    // Whatever followed the last section stays behind the sections.
    if (fileEnd < image.size())
        out.insert(out.end(), image.begin() + static_cast<std::ptrdiff_t>(fileEnd), image.end());

    StoreLittleEndian32(treeSize, &out[rsrc.header + 8]);
    StoreLittleEndian32(rawSize, &out[rsrc.header + 16]);
    const std::size_t resourceEntry = layout.directories + kResourceDirectory * kEntrySize;
    StoreLittleEndian32(treeSize, &out[resourceEntry + 4]);
    std::uint8_t* initialized = &out[layout.optional + 8];
    StoreLittleEndian32(LoadLittleEndian32(initialized) + rawSize - rsrc.rawSize, initialized);
    StoreLittleEndian32(static_cast<std::uint32_t>(AlignUp(imageEnd, layout.sectionAlignment)),
                        &out[layout.optional + 56]);
    PrepareUnsignedExecutable(out.data(), out.size());
    image = std::move(out);
    return true;
}
