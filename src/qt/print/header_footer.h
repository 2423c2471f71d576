#pragma once
// A page header or footer as a sheet's page setup writes it: "&L", "&C" and "&R" open the left,
// centre and right sections (text before any of them is centred); "&P" is the page number
// ("&P+n", "&P-n" with an offset), "&N" the number of pages, "&D" the date, "&T" the time, "&F"
// the file's name, "&Z" its folder, "&A" the sheet's name and "&&" one ampersand. "&B", "&I",
// "&U", "&E" and "&S" switch bold, italic, underline, double underline and strike-through;
// '&"face,style"' chooses a font and "&nn" its size in points. Codes that print nothing here
// (colours "&K", pictures "&G", super- and subscript, outline, shadow) are taken out, and so is an
// unknown code: no code is ever printed as it was written.

#include <QDateTime>
#include <QString>
#include <array>
#include <string>
#include <vector>

namespace qtui {

// A piece of a section in one font.
struct HeaderFooterRun {
  QString text;
  QString family;     // empty: the default face
  double points = 0;  // 0: the default size
  bool bold = false, italic = false, underline = false, strikeOut = false;
};

using HeaderFooterSection = std::vector<HeaderFooterRun>;

// What the field codes stand for on one page.
struct HeaderFooterFields {
  int page = 1;
  int pages = 1;
  QDateTime now;
  QString file;    // the file's name without its folder
  QString folder;  // the file's folder, ending in a separator; empty for a table without a file
  QString sheet;
};

enum HeaderFooterPart { kLeftSection = 0, kCenterSection = 1, kRightSection = 2 };

// The three sections of code with its fields filled in. Never fails: any text gives sections.
std::array<HeaderFooterSection, 3> ExpandHeaderFooter(const std::string& code,
                                                      const HeaderFooterFields& fields);

// A section's text without its fonts.
QString SectionText(const HeaderFooterSection& section);

}  // namespace qtui
