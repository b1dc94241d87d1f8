// SPDX-License-Identifier: MIT
// Fuzz target: a Desktop.ini edited to show a template and a look, and the edit taken out. The
// input is the file's bytes, then (after its first NUL byte, when there is one) the look's values
// cut at the following NUL bytes: comment, icon file, icon index, list picture, colour. Checked:
// a file that is not text, or holds a record changed by hand, is refused by both edits; an edit
// keeps its record, and taking it out gives back the bytes before it exactly (before any earlier
// use the file records); a value that the file cannot hold is refused rather than written. On a
// sample of inputs (sample.h) also: the edit made again gives the same bytes (a second edit on
// every input took a third of the time).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/desktop_ini.h"
#include "sample.h"

namespace {

using namespace tessivane;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_desktop_ini: %s\n", what);
        std::abort();
    }
}

std::vector<std::string> cut(std::string_view rest) {
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at <= rest.size() && pieces.size() < 5;) {
        const std::size_t end = std::min(rest.find('\0', at), rest.size());
        pieces.emplace_back(rest.substr(at, end - at));
        at = end + 1;
    }
    pieces.resize(5);
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // A file of the input's first part, or none when the input starts with a NUL.
    const std::size_t nul = input.find('\0');
    const std::optional<std::string> before =
        nul == 0 ? std::nullopt : std::make_optional(std::string(input.substr(0, nul)));
    const std::vector<std::string> values =
        cut(nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1));
    FolderUse use;
    use.templateName = values[0].size() % 2 == 0 ? "Folder.htt" : "";
    use.look = {values[0], values[1], values[2], values[3],
                iniColourFromRgb(values[4]).value_or("")};
    if (use.templateName.empty() && use.look.empty()) {
        use.templateName = "Folder.htt";
    }
    if (use.look.iconFile.empty()) {
        use.look.iconIndex.clear();  // as the edit keeps it
    }
    const DesktopIniEdit edit = useTemplateIn(before, use);
    const bool text = !before || isDesktopIniText(*before);
    const bool damaged = before && hasDamagedRecord(*before);
    if (!text || damaged) {
        check(edit.status ==
                  (text ? DesktopIniEdit::Status::DamagedRecord : DesktopIniEdit::Status::NotText),
              "a file that is not text or holds a damaged record was edited");
        check(!before || undoTemplateIn(*before).status != DesktopIniEdit::Status::Done,
              "a file that is not text or holds a damaged record was undone");
        return 0;
    }
    if (edit.status != DesktopIniEdit::Status::Done) {
        check(edit.status == DesktopIniEdit::Status::NotStorable, "an edit was refused otherwise");
        return 0;
    }
    const auto recorded = recordedFolderUse(edit.bytes);
    check(recorded.has_value() && recorded->look == use.look, "the record reads back otherwise");
    check(!fuzz::sampled(input) || useTemplateIn(edit.bytes, use).bytes == edit.bytes,
          "editing again changed the file");
    const DesktopIniEdit undone = undoTemplateIn(edit.bytes);
    check(undone.status == DesktopIniEdit::Status::Done, "the edit could not be undone");
    // An edit of a file that holds an earlier use's record stands for both: undoing it gives
    // back the file as it was before the earlier use.
    std::optional<std::string> original = before;
    bool keptBefore = false;
    if (before && recordedFolderUse(*before)) {
        const DesktopIniEdit earlier = undoTemplateIn(*before);
        original = earlier.removeFile ? std::nullopt : std::make_optional(earlier.bytes);
        keptBefore = !earlier.keptKeys.empty();
    }
    if (undone.keptKeys.empty() && !keptBefore) {
        check(undone.bytes == original.value_or("") && undone.removeFile == !original,
              "undoing did not give back the bytes before");
    }
    return 0;
}
