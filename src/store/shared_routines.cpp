// The key-field list and the report font.
#include "platform/printer.h"
#include "store/store.h"

namespace kelvarin::store {

void Store::FillKeyFieldList(platform::ComboBox& list, int16_t keyField) const {
  int32_t select = -1;
  for (int slot = 0; slot < kFieldCount; ++slot) {
    const FieldDef& d = FieldDefs[static_cast<size_t>(slot)];
    if (!IsKeyField(d.FieldKind)) continue;
    list.AddItem(d.FieldName);
    list.SetItemData(list.NewIndex(), slot);
    if (slot == keyField && select < 0) select = list.NewIndex();
  }
  if (select < 0 && list.ListCount() > 0) select = 0;
  if (select >= 0) list.SetListIndex(select);
}

void Store::ChooseReportFont() {
  platform::FontChoice current;
  current.name = ReportFontName;
  current.size = ReportFontSize;
  current.weight = ReportFontFlags.Bold ? 700 : 400;
  current.italic = ReportFontFlags.Italic;
  current.underline = ReportFontFlags.Underline;
  std::optional<platform::FontChoice> chosen = host_.FontDialog(current);
  if (!chosen || chosen->size == 0) return;
  ReportFontName = chosen->name;
  ReportFontSize = chosen->size;
  ReportFontFlags.Bold = chosen->weight == 700;
  ReportFontFlags.Italic = chosen->italic;
  ReportFontFlags.Underline = chosen->underline;
  ApplyReportFont();
}

bool Store::ApplyReportFont() {
  if (ReportFontName.empty()) return true;
  // Setting the font begins no document: a font chosen and nothing printed
  // must leave no empty page behind.
  platform::Printer& printer = host_.GetPrinter();
  platform::PrinterFont font;
  font.name = ReportFontName;
  font.size = ReportFontSize;
  font.bold = ReportFontFlags.Bold;
  font.italic = ReportFontFlags.Italic;
  font.underline = ReportFontFlags.Underline;
  return printer.SetFont(font);
}

bool Store::EndPrintDoc() {
  platform::Printer& printer = host_.GetPrinter();
  if (printer.EndDoc()) return true;
  std::string file;
  if (const int error = printer.EndDocError(&file); error != 0)
    TellWriteFailure(error, file);
  else
    host_.MsgBox("Printer Error.");
  return false;
}

}  // namespace kelvarin::store
