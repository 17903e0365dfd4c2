#include "RegisterTexts.h"

#include "CommandSupport.h"

std::string TaxGroupCaption(char taxGroup) { return std::string("Tax group: ") + taxGroup; }

std::string DepartmentSumText(const TDepartmentSum& sum, const TRegionalSettings& rs) {
  const std::string parts[] = {
      TaxGroupCaption(sum.TaxGroup),
      "Text 1 : " + TrimControl(sum.Text1),
      "Text 2 : " + TrimControl(sum.Text2),
      std::string("ExitCode : ") + sum.ExitCode,
      "CountSales: " + IntToStr(sum.CountSales),
      "RecSum: " + FormatFixed(sum.RecSum, 2, rs),
      "Total sales: " + IntToStr(sum.TotalSales),
      "Total sum:  " + FormatFixed(sum.TotalSum, 2, rs),
  };
  std::string text;
  for (const std::string& part : parts) text += part + '\r';
  return text;
}

std::vector<std::string> PluDataLines(const TPluData& plu, const TRegionalSettings& rs) {
  // A PLU that was not found has no group (0); the memo shows nothing for it.
  const std::string group = plu.VatGroup == 0 ? std::string() : std::string(1, plu.VatGroup);
  return {
      "PluNo: " + IntToStr(plu.PluNo),
      "PluName: " + plu.PluName,
      "TaxGrp: " + group,
      "GroupNom: " + IntToStr(plu.GroupNom),
      "UnitPrice: " + FormatFixed(plu.UnitPrice, 6, rs),
      "Sold: " + FormatFixed(plu.Sold, 6, rs),
      "TotalSum: " + FormatFixed(plu.TotalSum, 6, rs),
      "AvailQtty: " + FormatFixed(plu.AvailQtty, 6, rs),
  };
}
