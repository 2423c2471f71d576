// Placeholder until the formula language lands: a formula keeps its text and shows #NAME?.
#include "control/formula/formula_engine.h"

#include "control/workbook.h"

namespace engine::formula {

FormulaEngine::FormulaEngine(Workbook& workbook) : workbook_(workbook) {}
FormulaEngine::~FormulaEngine() = default;

std::unique_ptr<FormulaCell> FormulaEngine::Compile(const Sheet&, int, int, std::string_view text) {
  auto f = std::make_unique<FormulaCell>();
  f->text = std::string(text);
  f->result = Value::Error(ErrorValue::Name);
  return f;
}

void FormulaEngine::CompileName(std::uint32_t, std::string_view text, std::string& canonical,
                                std::shared_ptr<const Expression>& expr) {
  canonical = std::string(text);
  expr.reset();
}

void FormulaEngine::FormulaPlaced(Sheet&, int, int) {}
void FormulaEngine::CellChanged(Sheet&, int, int) {}
void FormulaEngine::RangeChanged(Sheet&, int, int, int, int) {}
void FormulaEngine::NamesChanged() {}
void FormulaEngine::BeforeStructureChange(const StructureChange&) {}
void FormulaEngine::AfterStructureChange() {}
void FormulaEngine::SheetRemoving(std::uint32_t) {}
void FormulaEngine::SheetRenamed() {}
void FormulaEngine::Recalculate(bool) {}
void FormulaEngine::Rebuild() {}

std::string FormulaEngine::Text(const Sheet&, int, int, const FormulaCell& formula) const {
  return formula.text;
}

}  // namespace engine::formula
