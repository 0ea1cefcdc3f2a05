#include "programs/cli/list_json.h"
#include "programs/cli/cli_commands.h"

#include "core/icons/stored_image_facts.h"
#include "core/text/utf8_text.h"

#include <nettle/base64.h>
#include <nlohmann/json.hpp>

namespace gb::cli {

namespace {

// Keys in the order they are added, so every line reads the same way.
using Json = nlohmann::ordered_json;

std::string base64(const std::string& bytes)
{
    std::string text(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
    base64_encode_raw(text.data(), bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    return text;
}

std::string versionText(const std::optional<std::array<std::uint16_t, 4>>& version)
{
    if (!version)
        return {};
    return std::to_string((*version)[0]) + "." + std::to_string((*version)[1]) + "." +
           std::to_string((*version)[2]) + "." + std::to_string((*version)[3]);
}

Json versionJson(const std::optional<VersionInfo>& info)
{
    if (!info)
        return nullptr;
    const auto number = [](const auto& version) { return version ? Json(versionText(version)) : Json(); };
    Json texts = Json::object();
    for (const auto& [name, value] : info->texts)
        texts[name] = value;
    return Json{{"file_version", number(info->fileVersion)},
                {"product_version", number(info->productVersion)},
                {"string_table", info->table},
                {"strings", std::move(texts)}};
}

Json imageJson(const StoredImageFacts& image)
{
    Json json{{"width", image.width}, {"height", image.height}, {"depth", image.bitDepth}};
    // A format only for an image whose own header reads: the rest are
    // described by what the group's directory claims.
    json["format"] = image.headerRead ? Json(image.png ? "png" : "dib") : Json();
    json["bytes"] = image.bytes;
    json["sha256"] = image.present ? Json(image.sha256) : Json();
    return json;
}

Json chosenJson(const EntryInfo& chosen)
{
    if (!chosen.found)
        return nullptr;
    return Json{{"entry", chosen.entry},
                {"width", chosen.header.width},
                {"height", chosen.header.height},
                {"depth", chosen.header.bitDepth},
                {"format", chosen.header.png ? "png" : "dib"}};
}

} // namespace

JsonListing listJson(const IconOrigin& origin, const IconSource& source)
{
    JsonListing listing;
    const std::string path = origin.memberPath();
    const Json version = versionJson(source.versionInfo());
    const bool utf8 = isUtf8(path);
    for (int i = 0; i < source.count(); ++i) {
        // As in the plain listing: below count(), and with no stop to ask
        // for, every group is read, so value() cannot throw.
        const IconGroup group = source.group(i).value();
        const ExtractedIcon drawn = extractIcon(group);

        // A path that is not UTF-8 is written with U+FFFD in place of each
        // bad byte (by dump's replace handler), and in full as base64.
        Json line{{"path", path}};
        if (!utf8)
            line["path_base64"] = base64(path);
        line["index"] = i;
        line["key"] = keyOf(origin, i);
        if (const ResourceBlob* resource = source.groupResource(i)) {
            line["group"] = resource->id == 0 ? Json(resource->name) : Json(resource->id);
            line["language"] = resource->language;
        } else {
            line["group"] = nullptr;
            line["language"] = nullptr;
        }
        Json images = Json::array();
        for (const StoredImageFacts& image : storedImageFacts(group))
            images.push_back(imageJson(image));
        line["images"] = std::move(images);
        line["large"] = chosenJson(drawn.largeEntry);
        line["small"] = chosenJson(drawn.smallEntry);
        line["version"] = version;

        listing.lines += line.dump(-1, ' ', false, Json::error_handler_t::replace);
        listing.lines += '\n';
        ++listing.icons;
    }
    return listing;
}

} // namespace gb::cli
