#pragma once
// Parts of a package the engine does not model but carries through a save unchanged: a sheet's
// drawing (pictures, charts, shapes), its header and footer pictures and its background, each
// with every part it leads to, under the same part names and content types.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "control/model/workbook.h"

namespace engine::xlsx {

class ZipReader;

// The content types of a package: by extension and by part name.
class ContentTypes {
 public:
  static ContentTypes Read(const ZipReader& zip);
  std::string Of(const std::string& part) const;

 private:
  std::map<std::string, std::string> defaults_, overrides_;
};

// The sheet elements whose targets travel: "drawing", "legacyDrawingHF", "picture".
bool IsCarriedElement(std::string_view element);

// Takes in the part `target` a sheet refers to through `element`, and every part it leads to.
// False (nothing taken) when the part is missing or too large to carry.
bool CarryPart(const ZipReader& zip, const ContentTypes& types, const Sheet& sheet,
               std::string_view element, const std::string& relType, const std::string& target,
               Workbook& book);

// Writing: the sheet's elements for the carried parts of one kind, with their relationships.
std::string CarriedElements(const Workbook& book, const Sheet& sheet, std::string_view element,
                            std::string& rels, int& nextRel);
// Refuses (EngineError) a workbook whose carried charts take data from a sheet it no longer
// has under that name; the charts would show nothing or the wrong data.
void CheckCarried(const Workbook& book);
// What the workbook carries that only an .xlsx package holds (drawings, charts, pictures,
// pivot tables, tables, macros, form controls …), in words ("charts and pivot tables"); empty
// when nothing.
std::string XlsxOnlyContent(const Workbook& book);
// Adds the parts of every sheet still there to the package, with their content types.
void AddCarriedParts(const Workbook& book, std::vector<std::pair<std::string, std::string>>& parts,
                     std::string& types);

}  // namespace engine::xlsx
