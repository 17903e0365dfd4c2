#pragma once

#include <cstdint>
#include <string>

#include "BaseDeviceUnit.h"

// Result texts of the information reads (CP1251, as the device sent the parts).

// Eight lines "Printer name : ..." to "Printer fiscal nom : ...", joined by CR LF.
std::string DiagnosticInfoText(const TDiagnosticInfo& info);
// The sale number the diagnostic read proposes: serial + "-0001-00000001".
std::string FirstUniqueSellNo(const std::string& serialNumber);
// "VAT[i] 20.00" and CR LF for each of the eight groups.
std::string VatLinesText(const TTaxValues& values, const TRegionalSettings& rs);
// "Can VOID: ", "Is invoice: ", "Next inv.nom: N " and the eight group amounts.
std::string LastReceiptInfoText(bool canVoid, const TTaxValues& amounts, bool isInvoice,
                                std::int64_t nextInvNo, const TRegionalSettings& rs);
// Items, amount and tender of the receipt under way, CR after each, then whether
// it is open.
std::string FiscalStatusText(bool open, std::int32_t itemsCount, double amount, double tender,
                             const TRegionalSettings& rs);
// "True" or "False".
const char* BoolText(bool value);
