// Checks the built Windows executable itself, byte for byte where the format
// is fixed: image kind, imported DLLs, the resource set, the dialog template,
// the icon and the manifest. It reads the file and needs no Windows, so it
// shows what the resource compiler and the linker produced, including bits
// they add on their own, without running the program.
//
// The PE reader below is deliberately small and checks every offset against
// the file before it reads, so a damaged or truncated exe fails a test
// instead of crashing it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "window/resource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char kExePath[] = CALORIES_WINDOWS_EXE;

// ---------------------------------------------------------------------------
// Bounds-checked reading

// A window onto the file. Offsets are relative to begin and must lie within
// size bytes; a read outside clears ok and yields 0, so a whole structure
// can be read and ok tested once afterwards.
struct Region {
  const Bytes* file;
  std::size_t begin;
  std::size_t size;
  bool ok;
};

bool Covers(std::size_t size, std::size_t offset, std::size_t length) {
  return offset <= size && length <= size - offset;
}

std::uint32_t ReadLe(Region& region, std::size_t offset, std::size_t width) {
  if (!Covers(region.size, offset, width)) {
    region.ok = false;
    return 0;
  }
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) {
    value = value << 8 | (*region.file)[region.begin + offset + i];
  }
  return value;
}

std::uint8_t U8(Region& region, std::size_t offset) {
  return static_cast<std::uint8_t>(ReadLe(region, offset, 1));
}

std::uint16_t U16(Region& region, std::size_t offset) {
  return static_cast<std::uint16_t>(ReadLe(region, offset, 2));
}

std::uint32_t U32(Region& region, std::size_t offset) {
  return ReadLe(region, offset, 4);
}

Bytes CopyBytes(Region& region, std::size_t offset, std::size_t length) {
  if (!Covers(region.size, offset, length)) {
    region.ok = false;
    return {};
  }
  const auto first =
      region.file->begin() + static_cast<std::ptrdiff_t>(region.begin + offset);
  return Bytes(first, first + static_cast<std::ptrdiff_t>(length));
}

// A zero-terminated single-byte string of at most maxLength characters.
std::string ReadStringZ(Region& region, std::size_t offset,
                        std::size_t maxLength) {
  std::string text;
  for (std::size_t i = 0; i <= maxLength; ++i) {
    const std::uint8_t c = U8(region, offset + i);
    if (!region.ok) {
      return {};
    }
    if (c == 0) {
      return text;
    }
    text.push_back(static_cast<char>(c));
  }
  region.ok = false;
  return {};
}

// ---------------------------------------------------------------------------
// PE image

struct Section {
  std::string name;
  std::uint32_t virtualAddress;
  std::uint32_t virtualSize;
  std::uint32_t rawOffset;
  std::uint32_t rawSize;
};

// Type, name and language as the resource directory stores them: a number,
// or an offset with the top bit set when the entry is named by a string.
struct Resource {
  std::uint32_t type;
  std::uint32_t name;
  std::uint32_t language;
  Bytes data;
};

struct PeImage {
  std::uint16_t machine = 0;
  std::uint16_t magic = 0;
  std::uint16_t subsystem = 0;
  std::uint16_t subsystemMajor = 0;
  std::uint16_t subsystemMinor = 0;
  std::vector<Section> sections;
  std::vector<std::string> importedDlls;
  std::vector<Resource> resources;
};

constexpr std::uint32_t kNamedEntry = 0x80000000u;
constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::size_t kMaxImports = 64;
constexpr std::size_t kMaxResources = 256;

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

// The file bytes behind [rva, rva + length), as a region that runs on to
// the end of the section's data (so strings can be read from it).
bool MapRva(const Bytes& file, const std::vector<Section>& sections,
            std::uint32_t rva, std::uint32_t length, Region* out) {
  for (const Section& section : sections) {
    std::uint32_t extent = section.rawSize;
    if (section.virtualSize != 0) {
      extent = std::min(extent, section.virtualSize);
    }
    if (rva < section.virtualAddress) {
      continue;
    }
    const std::size_t into = rva - section.virtualAddress;
    if (Covers(extent, into, length)) {
      *out = Region{&file, section.rawOffset + into, extent - into, true};
      return true;
    }
  }
  return false;
}

bool ParseImports(const Bytes& file, PeImage* image, std::uint32_t rva,
                  std::string* error) {
  if (rva == 0) {
    return true;
  }
  Region table{};
  if (!MapRva(file, image->sections, rva, 20, &table)) {
    return Fail(error, "import directory lies outside the sections");
  }
  for (std::size_t i = 0;; ++i) {
    if (i == kMaxImports) {
      return Fail(error, "import directory has no end");
    }
    const std::size_t entry = 20 * i;
    const std::uint32_t lookup = U32(table, entry);
    const std::uint32_t nameRva = U32(table, entry + 12);
    const std::uint32_t thunks = U32(table, entry + 16);
    if (!table.ok) {
      return Fail(error, "import directory runs past its section");
    }
    if (lookup == 0 && nameRva == 0 && thunks == 0) {
      return true;
    }
    Region name{};
    if (!MapRva(file, image->sections, nameRva, 1, &name)) {
      return Fail(error, "imported DLL name lies outside the sections");
    }
    std::string dll = ReadStringZ(name, 0, 255);
    if (!name.ok) {
      return Fail(error, "imported DLL name is not terminated");
    }
    image->importedDlls.push_back(std::move(dll));
  }
}

// The resource tree has three levels: type, name, language; the entries of
// the last level point at data entries (RVA and size of the data).
bool ParseResources(const Bytes& file, PeImage* image, std::uint32_t rva,
                    std::string* error) {
  if (rva == 0) {
    return true;
  }
  Region tree{};
  if (!MapRva(file, image->sections, rva, 16, &tree)) {
    return Fail(error, "resource directory lies outside the sections");
  }
  struct Level {
    std::size_t directory;
    std::size_t count;
    std::size_t next;
    std::uint32_t id;
  };
  Level levels[3] = {};
  levels[0].directory = 0;
  levels[0].count = std::size_t{U16(tree, 12)} + U16(tree, 14);
  std::size_t depth = 0;
  while (tree.ok) {
    Level& level = levels[depth];
    if (level.next == level.count) {
      if (depth == 0) {
        return true;
      }
      --depth;
      continue;
    }
    const std::size_t entry = level.directory + 16 + 8 * level.next++;
    level.id = U32(tree, entry);
    const std::uint32_t target = U32(tree, entry + 4);
    if (!tree.ok) {
      break;
    }
    if (depth < 2) {
      if ((target & kSubdirectory) == 0) {
        return Fail(error, "resource tree is less than three levels deep");
      }
      Level& child = levels[++depth];
      child.directory = target & ~kSubdirectory;
      child.count = std::size_t{U16(tree, child.directory + 12)} +
                    U16(tree, child.directory + 14);
      child.next = 0;
      continue;
    }
    if ((target & kSubdirectory) != 0) {
      return Fail(error, "resource tree is more than three levels deep");
    }
    const std::uint32_t dataRva = U32(tree, target);
    const std::uint32_t dataSize = U32(tree, target + 4);
    if (!tree.ok) {
      break;
    }
    Region data{};
    if (!MapRva(file, image->sections, dataRva, dataSize, &data)) {
      return Fail(error, "resource data lies outside the sections");
    }
    if (image->resources.size() == kMaxResources) {
      return Fail(error, "implausibly many resources");
    }
    image->resources.push_back(Resource{levels[0].id, levels[1].id,
                                        levels[2].id,
                                        CopyBytes(data, 0, dataSize)});
  }
  return Fail(error, "resource directory runs past its section");
}

bool ParsePe(const Bytes& file, PeImage* image, std::string* error) {
  *image = PeImage{};
  Region whole{&file, 0, file.size(), true};
  if (U16(whole, 0) != 0x5A4D || !whole.ok) {
    return Fail(error, "no MZ header");
  }
  const std::size_t pe = U32(whole, 0x3C);
  if (U32(whole, pe) != 0x00004550 || !whole.ok) {
    return Fail(error, "no PE signature");
  }
  const std::size_t coff = pe + 4;
  image->machine = U16(whole, coff);
  const std::uint16_t sectionCount = U16(whole, coff + 2);
  const std::uint16_t optionalSize = U16(whole, coff + 16);
  const std::size_t optional = coff + 20;
  image->magic = U16(whole, optional);
  if (!whole.ok) {
    return Fail(error, "headers cut short");
  }
  if (image->magic != 0x10B) {
    return Fail(error, "optional header magic is not PE32 (0x10B)");
  }
  image->subsystemMajor = U16(whole, optional + 48);
  image->subsystemMinor = U16(whole, optional + 50);
  image->subsystem = U16(whole, optional + 68);
  const std::uint32_t directoryCount = U32(whole, optional + 92);
  if (directoryCount < 3 || directoryCount > 16 ||
      optionalSize < 96 + 8 * directoryCount) {
    return Fail(error, "optional header lacks the resource directory");
  }
  const std::uint32_t importRva = U32(whole, optional + 96 + 8);
  const std::uint32_t resourceRva = U32(whole, optional + 96 + 16);

  const std::size_t table = optional + optionalSize;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t header = table + 40 * i;
    Section section;
    for (std::size_t c = 0; c < 8; ++c) {
      const std::uint8_t byte = U8(whole, header + c);
      if (byte == 0) {
        break;
      }
      section.name.push_back(static_cast<char>(byte));
    }
    section.virtualSize = U32(whole, header + 8);
    section.virtualAddress = U32(whole, header + 12);
    section.rawSize = U32(whole, header + 16);
    section.rawOffset = U32(whole, header + 20);
    if (!whole.ok) {
      return Fail(error, "section table cut short");
    }
    if (!Covers(file.size(), section.rawOffset, section.rawSize)) {
      return Fail(error, "section " + section.name + " runs past the file");
    }
    image->sections.push_back(section);
  }
  if (!whole.ok) {
    return Fail(error, "headers cut short");
  }
  return ParseImports(file, image, importRva, error) &&
         ParseResources(file, image, resourceRva, error);
}

bool ReadWholeFile(const char* path, Bytes* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  out->assign(std::istreambuf_iterator<char>(in),
              std::istreambuf_iterator<char>());
  return !in.bad();
}

const Resource* FindResource(const PeImage& image, std::uint32_t type,
                             std::uint32_t name) {
  for (const Resource& resource : image.resources) {
    if (resource.type == type && resource.name == name) {
      return &resource;
    }
  }
  return nullptr;
}

std::string Lowercase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

constexpr std::uint32_t kRtIcon = 3;
constexpr std::uint32_t kRtDialog = 5;
constexpr std::uint32_t kRtGroupIcon = 14;
constexpr std::uint32_t kRtManifest = 24;
constexpr std::uint32_t kManifestId = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr std::uint32_t kIconImageId = 1;
constexpr std::uint32_t kEnglishUs = 1033;

class ExeImage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReadWholeFile(kExePath, &file))
        << "cannot read " << kExePath << " (build the windows preset first)";
    std::string error;
    ASSERT_TRUE(ParsePe(file, &image, &error)) << kExePath << ": " << error;
  }

  const Resource& Get(std::uint32_t type, std::uint32_t name) {
    const Resource* resource = FindResource(image, type, name);
    if (resource == nullptr) {
      ADD_FAILURE() << "no resource of type " << type << " number " << name;
      static const Resource kMissing{};
      return kMissing;
    }
    return *resource;
  }

  Bytes file;
  PeImage image;
};

// ---------------------------------------------------------------------------
// Image kind and imports

TEST_F(ExeImage, Is32BitX86GuiForSubsystem4) {
  EXPECT_EQ(image.magic, 0x10B) << "PE32";
  EXPECT_EQ(image.machine, 0x14C) << "IMAGE_FILE_MACHINE_I386";
  EXPECT_EQ(image.subsystem, 2) << "IMAGE_SUBSYSTEM_WINDOWS_GUI";
  EXPECT_EQ(image.subsystemMajor, 4);
  EXPECT_EQ(image.subsystemMinor, 0);
}

TEST_F(ExeImage, ImportsOnlySystemDlls) {
  // What the static mingw runtime and the program need. Another Windows
  // system DLL may join this list if the runtime comes to need one; the
  // compiler's own runtime DLLs (libgcc, libstdc++, libwinpthread) must
  // never appear, since the program has to run from its file alone.
  const char* const allowed[] = {"kernel32.dll", "user32.dll", "comctl32.dll",
                                 "msvcrt.dll"};
  // The program calls the dialog manager and initialises the common
  // controls, so these must be bound at load time.
  const char* const required[] = {"user32.dll", "comctl32.dll"};

  std::vector<std::string> names;
  std::cout << "imported DLLs:";
  for (const std::string& dll : image.importedDlls) {
    std::cout << ' ' << dll;
    names.push_back(Lowercase(dll));
  }
  std::cout << '\n';

  for (const std::string& name : names) {
    EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), name),
              std::end(allowed))
        << "imports " << name << ", which is not a Windows system DLL";
  }
  for (const char* name : required) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
        << "does not import " << name;
  }
}

// ---------------------------------------------------------------------------
// Resource set

std::string DescribeKey(std::uint32_t type, std::uint32_t name,
                        std::uint32_t language) {
  std::ostringstream out;
  const auto part = [&out](const char* label, std::uint32_t value) {
    out << label << ' ';
    if ((value & kNamedEntry) != 0) {
      out << "(named)";
    } else {
      out << value;
    }
  };
  part("type", type);
  part(", number", name);
  part(", language", language);
  return out.str();
}

TEST_F(ExeImage, HasExactlyTheFourResourcesInUsEnglish) {
  struct Expected {
    const char* what;
    std::uint32_t type;
    std::uint32_t name;
  };
  // In the directory's order: by type, then by number.
  const Expected expected[] = {
      {"icon image", kRtIcon, kIconImageId},
      {"calculator dialog", kRtDialog, IDD_CALCULATOR},
      {"icon group", kRtGroupIcon, IDI_CALCULATOR},
      {"application manifest", kRtManifest, kManifestId},
  };
  std::vector<std::string> want;
  for (const Expected& e : expected) {
    want.push_back(DescribeKey(e.type, e.name, kEnglishUs));
  }
  std::vector<std::string> found;
  for (const Resource& r : image.resources) {
    found.push_back(DescribeKey(r.type, r.name, r.language));
  }
  EXPECT_EQ(found, want);
}

// ---------------------------------------------------------------------------
// Dialog template

constexpr std::uint16_t kButton = 0x0080;
constexpr std::uint16_t kEdit = 0x0081;
constexpr std::uint16_t kStatic = 0x0082;
constexpr std::uint16_t kComboBox = 0x0085;
constexpr std::uint32_t kIdOk = 1;
constexpr std::uint32_t kIdCancel = 2;
// IDC_STATIC (-1) as the template's 32-bit control identifier.
constexpr std::uint32_t kStaticId = 0xFFFFFFFFu;
static_assert(IDC_STATIC == -1, "labels share the identifier -1");

struct ControlRow {
  const char* name;
  std::uint32_t id;
  std::uint16_t classOrdinal;
  const char* text;
  std::int16_t x, y, width, height;
  std::uint32_t style;
};

// The controls in template order (creation, tab and z-order). Style words
// are written as whole numbers rather than built from style names, so an
// implicit bit that the resource compiler adds shows up as a difference.
const ControlRow kControls[] = {
    {"IDC_GENDER", IDC_GENDER, kComboBox, "", 60, 20, 48, 40, 0x50210003},
    {"IDC_AGE", IDC_AGE, kEdit, "", 60, 36, 32, 12, 0x50812080},
    {"IDC_WEIGHT", IDC_WEIGHT, kEdit, "", 60, 52, 32, 12, 0x50810080},
    {"IDC_FEET", IDC_FEET, kEdit, "", 60, 68, 32, 12, 0x50810080},
    {"IDC_INCHES", IDC_INCHES, kEdit, "", 60, 84, 32, 12, 0x50810080},
    {"IDC_LIFESTYLE", IDC_LIFESTYLE, kComboBox, "", 60, 100, 80, 60,
     0x50210003},
    {"IDOK", kIdOk, kButton, "Calculate Daily Calorie Needs", 160, 16, 128, 14,
     0x50010001},
    {"IDC_RESULT", IDC_RESULT, kEdit, "", 160, 60, 56, 12, 0x50812880},
    {"IDCANCEL", kIdCancel, kButton, "Close", 240, 104, 50, 14, 0x50010000},
    {"group box", kStaticId, kButton, " Your information ", 8, 8, 144, 112,
     0x50000007},
    {"Gender label", kStaticId, kStatic, "Gender", 20, 22, 24, 8, 0x50020000},
    {"Age label", kStaticId, kStatic, "Age", 20, 38, 14, 8, 0x50020000},
    {"Weight label", kStaticId, kStatic, "Weight", 20, 54, 24, 8, 0x50020000},
    {"Height label", kStaticId, kStatic, "Height", 20, 79, 22, 8, 0x50020000},
    {"feet label", kStaticId, kStatic, "feet", 100, 70, 14, 8, 0x50020000},
    {"inches label", kStaticId, kStatic, "inches", 100, 86, 21, 8, 0x50020000},
    {"Lifestyle label", kStaticId, kStatic, "Lifestyle", 20, 102, 28, 8,
     0x50020000},
    {"result label", kStaticId, kStatic, "Your Daily Calorie Needs", 160, 44,
     79, 8, 0x50020000},
    {"IDC_ERROR_ICON", IDC_ERROR_ICON, kStatic, "", 160, 82, 20, 20,
     0x40000003},
    {"IDC_ERROR_TEXT", IDC_ERROR_TEXT, kStatic, "", 188, 88, 96, 8, 0x50020000},
};
static_assert(std::size(kControls) == 20, "the dialog has 20 controls");

void PutU8(Bytes& out, std::uint8_t value) { out.push_back(value); }

void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutI16(Bytes& out, std::int16_t value) {
  PutU16(out, static_cast<std::uint16_t>(value));
}

// Template strings are UTF-16; ours are ASCII, one code unit a character.
void PutText(Bytes& out, const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    PutU16(out, static_cast<unsigned char>(*c));
  }
  PutU16(out, 0);
}

void AlignTo4(Bytes& out) {
  while (out.size() % 4 != 0) {
    out.push_back(0);
  }
}

struct Part {
  std::size_t begin;
  std::string what;
};

// The extended dialog template (DLGTEMPLATEEX and one DLGITEMTEMPLATEEX per
// control), built field by field. parts records where each piece starts, to
// say which control a difference lies in.
Bytes BuildDialogTemplate(std::vector<Part>* parts) {
  Bytes out;
  parts->push_back({0, "header"});
  PutU16(out, 1);           // dlgVer
  PutU16(out, 0xFFFF);      // signature: extended template
  PutU32(out, 0);           // helpID
  PutU32(out, 0x00000100);  // exStyle: WS_EX_WINDOWEDGE
  // WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER |
  // DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS
  PutU32(out, 0x80CA08C8);
  PutU16(out, static_cast<std::uint16_t>(std::size(kControls)));  // cDlgItems
  PutI16(out, 0);                                                 // x
  PutI16(out, 0);                                                 // y
  PutI16(out, 297);                                               // cx
  PutI16(out, 125);                                               // cy
  PutU16(out, 0);                                                 // no menu
  PutU16(out, 0);  // the platform's dialog class
  PutText(out, "Daily Calorie Needs Calculator");
  PutU16(out, 8);    // point size
  PutU16(out, 400);  // FW_NORMAL
  PutU8(out, 0);     // not italic
  PutU8(out, 1);     // DEFAULT_CHARSET
  PutText(out, "MS Shell Dlg");
  for (const ControlRow& control : kControls) {
    AlignTo4(out);
    parts->push_back({out.size(), control.name});
    PutU32(out, 0);  // helpID
    PutU32(out, 0);  // exStyle
    PutU32(out, control.style);
    PutI16(out, control.x);
    PutI16(out, control.y);
    PutI16(out, control.width);
    PutI16(out, control.height);
    PutU32(out, control.id);
    PutU16(out, 0xFFFF);  // class by ordinal
    PutU16(out, control.classOrdinal);
    PutText(out, control.text);
    PutU16(out, 0);  // no creation data
  }
  return out;
}

TEST_F(ExeImage, DialogTemplateMatchesTheControlTable) {
  const Bytes& actual = Get(kRtDialog, IDD_CALCULATOR).data;
  std::vector<Part> parts;
  const Bytes expected = BuildDialogTemplate(&parts);

  EXPECT_EQ(actual.size(), expected.size()) << "template size";
  const auto mismatch = std::mismatch(expected.begin(), expected.end(),
                                      actual.begin(), actual.end());
  if (mismatch.first != expected.end() && mismatch.second != actual.end()) {
    const std::size_t at =
        static_cast<std::size_t>(mismatch.first - expected.begin());
    const Part* in = &parts.front();
    for (const Part& part : parts) {
      if (part.begin <= at) {
        in = &part;
      }
    }
    ADD_FAILURE() << "first difference at byte " << at << " (" << in->what
                  << ", offset " << at - in->begin << "): expected 0x"
                  << std::hex << int{*mismatch.first} << ", found 0x"
                  << int{*mismatch.second};
  }
}

// ---------------------------------------------------------------------------
// Icon

struct Field {
  const char* name;
  std::size_t offset;
  std::size_t width;
  std::uint32_t expected;
};

void ExpectFields(const Bytes& data, const Field* fields, std::size_t count) {
  Region region{&data, 0, data.size(), true};
  for (std::size_t i = 0; i < count; ++i) {
    const Field& field = fields[i];
    EXPECT_EQ(ReadLe(region, field.offset, field.width), field.expected)
        << field.name;
  }
  EXPECT_TRUE(region.ok) << "structure cut short";
}

constexpr std::uint32_t kIconImageSize = 744;

TEST_F(ExeImage, IconGroupListsOne32x32SixteenColourImage) {
  const Bytes& group = Get(kRtGroupIcon, IDI_CALCULATOR).data;
  // GRPICONDIR with one GRPICONDIRENTRY.
  const Field fields[] = {
      {"reserved", 0, 2, 0},
      {"type (icon)", 2, 2, 1},
      {"image count", 4, 2, 1},
      {"width", 6, 1, 32},
      {"height", 7, 1, 32},
      {"colour count", 8, 1, 16},
      {"reserved byte", 9, 1, 0},
      {"planes", 10, 2, 1},
      {"bits per pixel", 12, 2, 4},
      {"image bytes", 14, 4, kIconImageSize},
      {"image number", 18, 2, kIconImageId},
  };
  EXPECT_EQ(group.size(), 20u);
  ExpectFields(group, fields, std::size(fields));
  EXPECT_EQ(Get(kRtIcon, kIconImageId).data.size(), kIconImageSize)
      << "the image the group points at";
}

constexpr std::size_t kPaletteOffset = 40;
constexpr std::size_t kPixelsOffset = kPaletteOffset + 16 * 4;
constexpr std::size_t kMaskOffset = kPixelsOffset + 32 * 16;

TEST_F(ExeImage, IconImageHasTheStandardSixteenColourFormat) {
  const Bytes& icon = Get(kRtIcon, kIconImageId).data;
  ASSERT_EQ(icon.size(), kIconImageSize);
  // BITMAPINFOHEADER; the height counts the colour bitmap and the mask.
  const Field header[] = {
      {"header size", 0, 4, 40},    {"width", 4, 4, 32},
      {"height", 8, 4, 64},         {"planes", 12, 2, 1},
      {"bits per pixel", 14, 2, 4}, {"compression (BI_RGB)", 16, 4, 0},
  };
  ExpectFields(icon, header, std::size(header));
  EXPECT_EQ(kMaskOffset + 32 * 4, kIconImageSize);

  struct Colour {
    const char* name;
    std::uint8_t red, green, blue;
  };
  const Colour palette[] = {
      {"black", 0x00, 0x00, 0x00}, {"maroon", 0x80, 0x00, 0x00},
      {"green", 0x00, 0x80, 0x00}, {"olive", 0x80, 0x80, 0x00},
      {"navy", 0x00, 0x00, 0x80},  {"purple", 0x80, 0x00, 0x80},
      {"teal", 0x00, 0x80, 0x80},  {"silver", 0xC0, 0xC0, 0xC0},
      {"grey", 0x80, 0x80, 0x80},  {"red", 0xFF, 0x00, 0x00},
      {"lime", 0x00, 0xFF, 0x00},  {"yellow", 0xFF, 0xFF, 0x00},
      {"blue", 0x00, 0x00, 0xFF},  {"fuchsia", 0xFF, 0x00, 0xFF},
      {"aqua", 0x00, 0xFF, 0xFF},  {"white", 0xFF, 0xFF, 0xFF},
  };
  for (std::size_t i = 0; i < std::size(palette); ++i) {
    const Colour& c = palette[i];
    SCOPED_TRACE(c.name);
    const std::size_t at = kPaletteOffset + 4 * i;  // RGBQUAD: blue first
    EXPECT_EQ(icon[at], c.blue);
    EXPECT_EQ(icon[at + 1], c.green);
    EXPECT_EQ(icon[at + 2], c.red);
    EXPECT_EQ(icon[at + 3], 0);
  }
}

// Colour index and transparency of pixel (x, y), y counted from the top;
// both bitmaps are stored bottom row first.
std::uint8_t IconColour(const Bytes& icon, std::size_t x, std::size_t y) {
  const std::uint8_t pair = icon[kPixelsOffset + (31 - y) * 16 + x / 2];
  return static_cast<std::uint8_t>(x % 2 == 0 ? pair >> 4 : pair & 0x0F);
}

bool IconTransparent(const Bytes& icon, std::size_t x, std::size_t y) {
  const std::uint8_t bits = icon[kMaskOffset + (31 - y) * 4 + x / 8];
  return ((bits >> (7 - x % 8)) & 1) != 0;
}

TEST_F(ExeImage, IconShowsABlueCalculatorOnATransparentGround) {
  const Bytes& icon = Get(kRtIcon, kIconImageId).data;
  ASSERT_EQ(icon.size(), kIconImageSize);
  constexpr std::uint8_t kBlack = 0, kNavy = 4, kSilver = 7, kBlue = 12,
                         kAqua = 14;
  std::size_t left = 32, right = 0, top = 32, bottom = 0;
  std::size_t counts[16] = {};
  for (std::size_t y = 0; y < 32; ++y) {
    for (std::size_t x = 0; x < 32; ++x) {
      const std::uint8_t colour = IconColour(icon, x, y);
      if (IconTransparent(icon, x, y)) {
        // Colour 0 under the mask leaves the background as it is; any
        // other colour would invert it.
        EXPECT_EQ(colour, 0) << "transparent pixel " << x << "," << y;
        continue;
      }
      ++counts[colour];
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ(right + 1 - left, 31u) << "calculator width";
  EXPECT_EQ(bottom + 1 - top, 21u) << "calculator height";
  EXPECT_EQ(top, 5u) << "empty rows above";
  EXPECT_EQ(31 - bottom, 6u) << "empty rows below";

  const std::uint8_t used[] = {kBlack, kNavy, kSilver, kBlue, kAqua};
  for (std::uint8_t colour = 0; colour < 16; ++colour) {
    const bool expectedColour =
        std::find(std::begin(used), std::end(used), colour) != std::end(used);
    EXPECT_EQ(counts[colour] != 0, expectedColour) << "colour " << +colour;
  }
  EXPECT_EQ(std::max_element(std::begin(counts), std::end(counts)) -
                std::begin(counts),
            std::ptrdiff_t{kBlue})
      << "the body is blue";
}

// ---------------------------------------------------------------------------
// Manifest

enum class XmlKind { Declaration, Start, End, Text };

struct XmlEvent {
  XmlKind kind;
  std::string name;  // element name, or the text of a Text event
  std::vector<std::pair<std::string, std::string>> attributes;
};

bool IsXmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':';
}

// Just enough XML for a manifest: a declaration, elements with quoted
// attributes, and text. Comments, entities and the like are refused, since
// the manifest has none.
bool TokenizeXml(const std::string& text, std::vector<XmlEvent>* events,
                 std::string* error) {
  std::size_t i = 0;
  const auto skipSpace = [&] {
    while (i < text.size() && IsXmlSpace(text[i])) {
      ++i;
    }
  };
  const auto readName = [&] {
    const std::size_t start = i;
    while (i < text.size() && IsNameChar(text[i])) {
      ++i;
    }
    return text.substr(start, i - start);
  };
  while (i < text.size()) {
    if (text[i] != '<') {
      const std::size_t end = std::min(text.find('<', i), text.size());
      std::string chunk = text.substr(i, end - i);
      i = end;
      const std::size_t first = chunk.find_first_not_of(" \t\r\n");
      if (first == std::string::npos) {
        continue;
      }
      chunk =
          chunk.substr(first, chunk.find_last_not_of(" \t\r\n") + 1 - first);
      if (chunk.find('&') != std::string::npos) {
        return Fail(error, "entity in text");
      }
      events->push_back({XmlKind::Text, chunk, {}});
      continue;
    }
    ++i;
    XmlEvent event{XmlKind::Start, "", {}};
    if (i < text.size() && text[i] == '?') {
      event.kind = XmlKind::Declaration;
      ++i;
    } else if (i < text.size() && text[i] == '/') {
      event.kind = XmlKind::End;
      ++i;
    }
    event.name = readName();
    if (event.name.empty()) {
      return Fail(error,
                  "markup that is not an element at " + std::to_string(i));
    }
    for (;;) {
      skipSpace();
      if (i >= text.size()) {
        return Fail(error, "unterminated <" + event.name);
      }
      if (event.kind == XmlKind::Declaration && text.compare(i, 2, "?>") == 0) {
        i += 2;
        events->push_back(event);
        break;
      }
      if (event.kind == XmlKind::Start && text.compare(i, 2, "/>") == 0) {
        i += 2;
        events->push_back(event);
        events->push_back({XmlKind::End, event.name, {}});
        break;
      }
      if (text[i] == '>' && event.kind != XmlKind::Declaration) {
        ++i;
        events->push_back(event);
        break;
      }
      if (event.kind == XmlKind::End) {
        return Fail(error, "attribute in </" + event.name + ">");
      }
      std::string name = readName();
      skipSpace();
      if (name.empty() || i >= text.size() || text[i] != '=') {
        return Fail(error, "malformed attribute in <" + event.name);
      }
      ++i;
      skipSpace();
      if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) {
        return Fail(error, "unquoted attribute " + name);
      }
      const char quote = text[i++];
      const std::size_t close = text.find(quote, i);
      if (close == std::string::npos) {
        return Fail(error, "unterminated attribute " + name);
      }
      std::string value = text.substr(i, close - i);
      i = close + 1;
      if (value.find_first_of("&<") != std::string::npos) {
        return Fail(error, "entity in attribute " + name);
      }
      event.attributes.emplace_back(std::move(name), std::move(value));
    }
  }
  return true;
}

std::string Describe(const XmlEvent& event) {
  switch (event.kind) {
    case XmlKind::Text:
      return "text \"" + event.name + "\"";
    case XmlKind::End:
      return "</" + event.name + ">";
    case XmlKind::Declaration:
    case XmlKind::Start: {
      std::string out =
          (event.kind == XmlKind::Declaration ? "<?" : "<") + event.name;
      for (const auto& attribute : event.attributes) {
        out += " " + attribute.first + "=\"" + attribute.second + "\"";
      }
      return out + (event.kind == XmlKind::Declaration ? "?>" : ">");
    }
  }
  return "?";
}

// Stands for the description's text, which is free but must be one line.
const char kAnyOneLine[] = "\n";

bool Matches(const XmlEvent& expected, const XmlEvent& actual) {
  if (expected.kind == XmlKind::Text && expected.name == kAnyOneLine) {
    return actual.kind == XmlKind::Text && !actual.name.empty() &&
           actual.name.find_first_of("\r\n") == std::string::npos;
  }
  return expected.kind == actual.kind && expected.name == actual.name &&
         expected.attributes == actual.attributes;
}

std::string FileName(const std::string& path) {
  return path.substr(path.find_last_of("/\\") + 1);
}

TEST_F(ExeImage, ManifestSelectsCommonControls6) {
  const Bytes& data = Get(kRtManifest, kManifestId).data;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t c = data[i];
    ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r')
        << "byte " << i << " (0x" << std::hex << int{c}
        << ") is not plain ASCII text";
  }
  std::vector<XmlEvent> events;
  std::string error;
  ASSERT_TRUE(
      TokenizeXml(std::string(data.begin(), data.end()), &events, &error))
      << error;

  using K = XmlKind;
  const std::vector<XmlEvent> expected = {
      {K::Declaration,
       "xml",
       {{"version", "1.0"}, {"encoding", "UTF-8"}, {"standalone", "yes"}}},
      {K::Start,
       "assembly",
       {{"xmlns", "urn:schemas-microsoft-com:asm.v1"},
        {"manifestVersion", "1.0"}}},
      {K::Start,
       "assemblyIdentity",
       {{"processorArchitecture", "x86"},
        {"version", "5.1.0.0"},
        {"type", "win32"},
        {"name", FileName(kExePath)}}},
      {K::End, "assemblyIdentity", {}},
      {K::Start, "description", {}},
      {K::Text, kAnyOneLine, {}},
      {K::End, "description", {}},
      {K::Start, "dependency", {}},
      {K::Start, "dependentAssembly", {}},
      {K::Start,
       "assemblyIdentity",
       {{"type", "win32"},
        {"name", "Microsoft.Windows.Common-Controls"},
        {"version", "6.0.0.0"},
        {"publicKeyToken", "6595b64144ccf1df"},
        {"language", "*"},
        {"processorArchitecture", "x86"}}},
      {K::End, "assemblyIdentity", {}},
      {K::End, "dependentAssembly", {}},
      {K::End, "dependency", {}},
      {K::End, "assembly", {}},
  };
  EXPECT_EQ(events.size(), expected.size());
  for (std::size_t i = 0; i < std::min(events.size(), expected.size()); ++i) {
    EXPECT_TRUE(Matches(expected[i], events[i]))
        << "item " << i << ": expected " << Describe(expected[i]) << ", found "
        << Describe(events[i]);
  }
}

// ---------------------------------------------------------------------------
// The reader itself: a damaged file must be refused, not read past its end.

TEST(ExeImageReader, RefusesTruncatedImages) {
  Bytes file;
  ASSERT_TRUE(ReadWholeFile(kExePath, &file)) << "cannot read " << kExePath;
  PeImage image;
  std::string error;
  ASSERT_TRUE(ParsePe(file, &image, &error)) << error;
  const Section* resources = nullptr;
  for (const Section& section : image.sections) {
    if (section.name == ".rsrc") {
      resources = &section;
    }
  }
  ASSERT_NE(resources, nullptr);

  Region whole{&file, 0, file.size(), true};
  const std::size_t optionalHeader = U32(whole, 0x3C) + 24;
  ASSERT_TRUE(whole.ok);

  struct Cut {
    const char* name;
    std::size_t length;
  };
  const Cut cuts[] = {
      {"empty file", 0},
      {"DOS header only", 64},
      {"optional header cut short", optionalHeader + 80},
      {"headers without section data", image.sections.front().rawOffset},
      {"resource section cut short",
       resources->rawOffset + resources->rawSize - 1},
  };
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.name);
    ASSERT_LT(cut.length, file.size());
    const Bytes truncated(
        file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut.length));
    PeImage partial;
    EXPECT_FALSE(ParsePe(truncated, &partial, &error));
  }
}

}  // namespace
