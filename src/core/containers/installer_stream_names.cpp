// Stream names of a Windows Installer database. The compound file allows 31
// UTF-16 units per name, too few for "Binary." plus a long key, so the
// database packs the characters of identifiers (64 of them: digits,
// letters, '.', '_') into units of the private range U+3800..U+4840.
#include "core/containers/installer_streams.h"
#include "core/text/utf16_text.h"

#include <string_view>

namespace gb {
namespace {

constexpr std::string_view kPackedAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz._";
static_assert(kPackedAlphabet.size() == 64);

constexpr char16_t kTwoCharacters = 0x3800; // up to 0x47FF: low 6 bits first, then the next 6
constexpr char16_t kOneCharacter = 0x4800;  // up to 0x483F
constexpr char16_t kTableMarker = 0x4840;   // the stream holds a table, not a file

char16_t packed(unsigned index)
{
    return static_cast<char16_t>(kPackedAlphabet[index & 0x3F]);
}

} // namespace

std::string unpackStreamName(const std::u16string& stored)
{
    std::u16string plain;
    plain.reserve(stored.size() * 2);
    for (const char16_t unit : stored) {
        if (unit >= kTwoCharacters && unit < kOneCharacter) {
            const unsigned both = unit - kTwoCharacters;
            plain += packed(both);
            plain += packed(both >> 6);
        } else if (unit >= kOneCharacter && unit < kTableMarker) {
            plain += packed(unit - kOneCharacter);
        } else if (unit == kTableMarker) {
            // Kept as "!", so a table's stream ("!Icon") never reads as a
            // file's ("Icon.Main").
            plain += u'!';
        } else {
            plain += unit;
        }
    }
    return utf8FromUtf16(plain);
}

} // namespace gb
