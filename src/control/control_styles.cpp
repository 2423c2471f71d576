// Named cell styles: listing them, applying one to cells, adding and renaming user styles.
#include "control/control.h"
#include "control/model/workbook.h"
#include "control/style_edit.h"

namespace engine {

namespace {

std::uint16_t NamedIndex(const StyleTable& styles, const std::string& name) {
  int index = styles.FindNamed(name);
  if (index < 0) throw EngineError(kErrBadArgument, "There is no cell style named '" + name + "'.");
  return static_cast<std::uint16_t>(index);
}

StyleEdit NamedEdit(std::uint16_t index) {
  return {[index](Style& s, StyleTable& styles) {
    const NamedStyle& named = styles.GetNamed(index);
    CopyParts(s, named.format, named.parts);
    s.parent = index;
  }};
}

}  // namespace

std::vector<CellStyleInfo> Control::GetCellStyles() const {
  std::vector<CellStyleInfo> out;
  for (const NamedStyle& s : book_->Styles().NamedStyles())
    out.push_back({NamedStyleName(s), s.builtinId, s.level});
  return out;
}

std::string Control::GetCellStyleName() const {
  const Sheet& sheet = ActiveSheet();
  const StyleTable& styles = book_->Styles();
  const Style& style =
      styles.Get(sheet.EffectiveStyle(sheet.Sel().activeRow, sheet.Sel().activeCol));
  return NamedStyleName(styles.GetNamed(style.parent));
}

void Control::ApplyCellStyle(const std::string& name) {
  ApplyToSelection(NamedEdit(NamedIndex(book_->Styles(), name)));
}

void Control::ApplyCellStyle(int row1, int col1, int row2, int col2, const std::string& name) {
  CheckRange(row1, col1, row2, col2);
  std::uint16_t index = NamedIndex(book_->Styles(), name);
  ApplyToBlocks({Block{row1, col1, row2, col2}}, NamedEdit(index));
}

void Control::AddCellStyle(const std::string& name) {
  StyleTable& styles = book_->Styles();
  int level = 0;
  if (name.empty() || name.size() > 255)
    throw EngineError(kErrBadArgument, "A style's name must have 1 to 255 characters.");
  if (styles.FindNamed(name) >= 0 || BuiltinStyleId(name, level) >= 0)
    throw EngineError(kErrBadArgument, "There is already a style named '" + name + "'.");
  const Sheet& sheet = ActiveSheet();
  NamedStyle added;
  added.name = name;
  added.format = styles.Get(sheet.EffectiveStyle(sheet.Sel().activeRow, sheet.Sel().activeCol));
  ModifyScope scope(*this);
  styles.AddNamed(added);
  scope.Changed();
}

void Control::RenameCellStyle(const std::string& from, const std::string& to) {
  StyleTable& styles = book_->Styles();
  std::uint16_t index = NamedIndex(styles, from);
  int level = 0;
  if (BuiltinStyleId(to, level) >= 0)
    throw EngineError(kErrBadArgument, "'" + to + "' is the name of a built-in style.");
  ModifyScope scope(*this);
  styles.RenameNamed(index, to);
  scope.Changed();
}

}  // namespace engine
