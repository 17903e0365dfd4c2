#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DateTimeUtil.h"
#include "InfoRecords.h"
#include "ProgrammingRecords.h"
#include "ReceiptRecords.h"
#include "RegionalSettings.h"

// Request data, response data, status bytes and whole frames.
using TDataBuffer = std::vector<std::uint8_t>;

// Receives one text (one character per byte). An empty function is not called.
using TDeviceTextEvent = std::function<void(const std::string&)>;

// Failure inside the device: a code of the error table and a short detail text.
class ECmdException : public std::runtime_error {
 public:
  ECmdException(std::int32_t code, const std::string& message)
      : std::runtime_error(message), Code(code) {}
  std::int32_t Code;
};

// Failed conversion of a text to a number (not a device error code).
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The abstract fiscal device: link-independent state, the four link operations
// that a transport implements, and every command operation. Command operations
// return a boolean and never let an exception escape.
class TBaseDevice {
 public:
  TBaseDevice();
  virtual ~TBaseDevice();
  TBaseDevice(const TBaseDevice&) = delete;
  TBaseDevice& operator=(const TBaseDevice&) = delete;

  TDeviceTextEvent OnFrameSent;
  TDeviceTextEvent OnByteReceived;
  TDeviceTextEvent OnControlByte;
  TDeviceTextEvent OnDuration;
  TDeviceTextEvent OnTraceLine;
  std::string LastErrorText;
  std::int32_t LastErrorCode = 0;
  std::uint8_t Sequence = 0;
  std::int32_t Duration = 0;
  std::string SentHex;
  std::string ReceivedHex;
  // Separators used for numbers and times in requests and answers.
  TRegionalSettings Regional;

  // Link operations.
  virtual bool SendCommand(std::uint8_t code, TDataBuffer& data, TDataBuffer& status) = 0;
  virtual bool Connect() = 0;
  virtual void Disconnect() = 0;
  virtual bool IsConnected() = 0;

  // Buffer builders.
  static void AppendByte(std::uint8_t b, TDataBuffer& buf);
  static void AppendEscaped(std::uint8_t b, TDataBuffer& buf);
  static void AppendEscapedText(std::string_view text, TDataBuffer& buf);
  static void AppendBytes(const TDataBuffer& src, TDataBuffer& dst);

  // Dumps.
  static std::string BytesToHex(const TDataBuffer& buf, std::size_t start, std::size_t count);
  static std::string BytesToTextRange(const TDataBuffer& buf, std::size_t start, std::size_t count);
  static std::string BytesToText(const TDataBuffer& buf);

  // Field takers.
  static void TakeCommaField(std::string& S, std::string& F);
  static void TakeSpaceField(std::string& S, std::string& F);

  // Status checks; raise ECmdException.
  static bool TestStatusBit(const TDataBuffer& status, int k, int n);
  static void CheckStatus(const TDataBuffer& status);
  static void CheckStatusEx(const TDataBuffer& status);

  // Turns an exception caught inside an operation into LastErrorCode/LastErrorText.
  void HandleCommandError(const std::exception& e, const TDataBuffer& status,
                          const std::string& deviceText);

  // The messages of all set condition flags; LastErrorCode ends as the last one's code.
  // True when there is no condition.
  bool ReadStatusConditions(const TDataBuffer& status, std::string& text);

  // "Command No: 4Ah. Duration: 120 ms." or the less-than-1-ms form.
  static std::string DurationLine(std::uint8_t code, std::int32_t duration);

  // Event raising, applying the rules every transport shares.
  void RaiseFrameSent(const TDataBuffer& frame);
  void RaiseByteReceived(std::uint8_t b);
  void RaiseControlByte(std::uint8_t b);
  void RaiseDuration(std::uint8_t code);
  // Start of every SendCommand: false, with the exchange ended as failed, when
  // the request data is too long for its length byte. Nothing is sent then and
  // no frame is reported, so a caller can tell a refusal of its input.
  bool RequestFits(std::uint8_t code, const TDataBuffer& data);
  // End of every exchange, successful or not: Duration, OnDuration, and on success
  // no error left behind. Returns `success`.
  bool FinishExchange(std::uint8_t code, std::int32_t duration, bool success);

  // --- Device state queries (3EH, 4AH, 5AH, 63H, 71H, 4CH)
  bool GetFPR_DateTime(TDateTime& DateTime);
  bool GetPrinterStatus(TDataBuffer& Status);
  bool GetDiagnosticInfo(bool Option, TDiagnosticInfo& Info);
  bool GetEIK(std::string& EIK, int MaxLen);
  bool GetLastDocNumber(std::int32_t& Number);
  bool GetFiscalStatus(bool& Open, std::int32_t& ItemsCount, double& Amount, double& Tender);

  // --- Fiscal memory and receipt counters (61H, 44H, 67H, 41H, 6EH)
  bool GetVATValues(TTaxValues& Values);
  bool GetFreeFMRecords(std::int32_t& Count);
  bool GetLastReceiptInfo(bool& CanVoid, TTaxValues& Amounts, bool& IsInvoice,
                          std::int64_t& NextInvNo);
  bool GetReceiptTotals(bool& CanVoid, double& Total, bool& IsInvoice);
  bool GetTotalAmounts(bool Turnover, TTaxValues& Amounts);
  bool GetPayTypeTotals(TPayTypeTotals& Totals);
  bool GetPayTypeTotals8(TPayTypeTotals& Totals);

  // --- Register reads (58H, 6BH R, 55H, 53H, 2BH I, 2BH IB)
  bool GetDepartmentSum(std::int32_t Number, TDepartmentSum& Sum);
  bool GetPluData(std::int32_t Number, TPluData& Plu);
  bool GetPayTypeName(std::int32_t PayType, std::string& Name);
  bool GetGeneralPRNSettings(TGeneralPRNSettings& Settings);
  bool GetHeaderLine(std::int32_t Line, std::string& Text);
  bool GetBarcodeHeight(std::int32_t& HeightMm);

  // --- Comment receipt and barcode (26H, 2AH, 27H, 54H)
  bool OpenCommentReceipt(std::int32_t& AllReceipt);
  bool PrintCommentText(const std::string& Text);
  bool CloseCommentReceipt(std::int32_t& AllReceipt);
  bool PrintBarcode(std::int32_t BarcodeType, const std::string& Data, bool ShowText);

  // --- Invoice data, duplicate, recovery (39H, 6DH)
  bool SendInvoiceClientData(TInvoiceClientData Data);
  bool DuplicateReceipt();
  bool CancelAllReceipts();
  bool CloseOpenFiscalReceipt();

  // --- Fiscal receipt (90H, 38H, 3CH)
  static bool IsUniqueSellNoValid(std::string_view text);
  bool OpenFiscalReceipt(TFiskParam Param, std::int32_t& AllReceipt, std::int32_t& FiscReceipt);
  bool CloseFiscalReceipt(std::int32_t& AllReceipt, std::int32_t& FiscReceipt);
  bool VoidFiscalReceipt();

  // --- Sales (31H, 34H, 3AH)
  bool RegisterSale(const std::string& Text1, const std::string& Text2, char VatGrp,
                    double Price, double Qtty, double Perc);
  bool RegisterDepartmentSale(const std::string& Text1, const std::string& Text2,
                              std::uint8_t DepartNo, double Price, double Qtty, double Perc);
  bool RegisterSaleAndDisplay(const std::string& Text1, char VatGrp, double Price, double Qtty,
                              double Perc, bool IsAbsolute);
  bool RegisterDepartmentSaleAndDisplay(const std::string& Text1, std::uint8_t DepartNo,
                                        double Price, double Qtty, double Perc, bool IsAbsolute);
  bool SellRegisteredPlu(bool Display, std::int32_t PluNo, std::int32_t DepartNo, double Qtty,
                         double Perc, bool IsAbsolute);

  // --- Discount, subtotal, payment, fiscal text (91H, 33H, 35H, 36H)
  bool DiscountLastPlu(bool IsAbsolute, double Value);
  bool Subtotal(bool Print, bool IsAbsolute, bool Display, double& SubTotal, TTaxValues& VatGRP,
                double Perc);
  bool Payment(const std::string& Text1, const std::string& Text2, char PaidMode, double Amount,
               char& PaidCode, double& Amount2);
  bool PrintFiscalText(const std::string& Text);

  // --- Daily reports (45H, 75H, 76H)
  bool PrintDailyReport(bool ZeroFlag, std::int64_t& Closure, double& SumTOTAL,
                        TTaxValues& SumVatGroups);
  bool PrintDailyReportByDepartments(bool ZeroFlag, std::int64_t& Closure, double& SumTOTAL,
                                     TTaxValues& SumVatGroups);
  bool PrintDailyReportByDepartmentsAndPlu(bool ZeroFlag, std::int64_t& Closure,
                                           double& SumTOTAL, TTaxValues& SumVatGroups);

  // --- Fiscal-memory reports (49H/5FH, 5EH/4FH)
  bool PrintFMReportByBlock(bool Short, std::uint32_t StartNo, std::uint32_t EndNo);
  bool PrintFMReportByDate(bool Short, TDateTime StartDate, TDateTime EndDate);

  // --- Clock, header lines, barcode height, operators (3DH, 2BH, 66H)
  bool SetDateTime(TDateTime DateTime);
  bool SetHeaderLine(std::uint16_t LineNo, const std::string& Text);
  bool SetBarcodeHeight(std::uint16_t HeightMm);
  bool SetOperator(std::uint16_t OperNo, const std::string& Password, const std::string& OperName);

  // --- Departments and PLUs (57H, 6BH P, 6BH D)
  bool SetDepartment(TDepartmentInfo Info);
  bool SetPlu(TPluData Data);
  bool DeletePlu(std::int32_t PluNo);

  // --- Payment names, invoice range, general settings, cash in/out (55H, 42H, 53H, 46H)
  bool SetPayName(std::uint32_t PayType, const std::string& PayName);
  bool GetInvoiceRange(bool CreditNote, std::int64_t& InvStart, std::int64_t& InvEnd,
                       std::int64_t& InvCurrent);
  bool SetInvoiceRange(bool CreditNote, std::int64_t& InvStart, std::int64_t& InvEnd);
  bool SetGeneralPRNSettings(TGeneralPRNSettings Settings);
  bool ImportExportAmount(double Amount);

  // --- Any command with a free parameter text
  bool ExecuteCommand(std::uint8_t CmdCode, const std::string& Params);

 private:
  bool PrintDailyReportCode(std::uint8_t code, bool ZeroFlag, std::int64_t& Closure,
                            double& SumTOTAL, TTaxValues& SumVatGroups);
};
