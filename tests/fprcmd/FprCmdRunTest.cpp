// fprcmd as a whole: links that cannot be meant, bad input, the length of a raw
// request, an error code without a text, and a few runs of the real program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <sstream>

#include "FprCmdTestSupport.h"
#include "Printer.h"
#include "ScriptedDevice.h"
#include "StepRunner.h"

namespace {

using json = nlohmann::json;

TEST(FprCmdLink, PortsAndSerialNamesThatCannotBeMeantAreArgumentErrors) {
  struct TCase {
    std::vector<std::string> Link;
    const char* Says;
  } cases[] = {
      {{"--tcp", "127.0.0.1:abc"},
       "--tcp 127.0.0.1:abc: the port must be a number from 1 to 65535"},
      {{"--tcp", "127.0.0.1:"}, "the port must be a number from 1 to 65535"},
      {{"--tcp", "127.0.0.1:99999"}, "the port must be a number from 1 to 65535"},
      {{"--tcp", "127.0.0.1:-1"}, "the port must be a number from 1 to 65535"},
      {{"--tcp", "127.0.0.1:0"}, "the port must be a number from 1 to 65535"},
      {{"--tcp", "127.0.0.1: 80"}, "the port must be a number from 1 to 65535"},
      {{"--tcp", ":4999"}, "--tcp needs HOST:PORT"},
      {{"--serial", "@9600"}, "--serial needs a port name"},
      {{"--serial", "COM1@"}, "the speed must be one of 110, 300,"},
      {{"--serial", "/dev/ttyUSB0@12345"}, "the speed must be one of"},
      {{"--tcp", "127.0.0.1:4999", "--serial", "COM1"}, "Give only one of --tcp and --serial"},
  };
  for (const TCase& c : cases) {
    for (const std::vector<std::string>& rest :
         {std::vector<std::string>{"4A", "W"}, {"op", "GetFiscalStatus"}, {"--script", "-"}}) {
      TCountingFactory devices;
      std::vector<std::string> args = c.Link;
      args.insert(args.end(), rest.begin(), rest.end());
      const TCmdRun run = RunCmd(args, "GetFiscalStatus\n", devices.Factory());
      EXPECT_EQ(run.Status, 2) << c.Says;
      EXPECT_EQ(run.Err.rfind("fprcmd: ", 0), 0u);
      EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
      EXPECT_EQ(devices.Calls, 0) << c.Says;
      EXPECT_EQ(run.Out, "");
    }
  }
}

using FprCmdInput = TFprCmdSimFixture;

// Bad input never reaches the device: exit 2 and a message naming what is wrong.
TEST_F(FprCmdInput, BadInputIsRefusedBeforeTheLinkOpens) {
  struct TCase {
    std::vector<std::string> Words;
    const char* Says;
  } cases[] = {
      {{"op", "GetFiscalStatsu"},
       "unknown operation 'GetFiscalStatsu' (did you mean GetFiscalStatus?)"},
      {{"op", "Frobnicate"}, "unknown operation 'Frobnicate'; fprcmd --list shows them all"},
      {{"Frobnicate"}, "unknown operation 'Frobnicate'"},
      {{"op"}, "an operation name is missing"},
      {{"op", "GetEIK", "MaxLen=8", "Colour=red"}, "GetEIK: unknown argument 'Colour'"},
      {{"op", "GetEIK"}, "GetEIK: missing argument MaxLen (int)"},
      {{"op", "PrintFiscalText", "Text=Price 5 中"},
       "argument Text (text): the character at byte 8"},
      {{"op", "GetPluData", "Number=2147483648"},
       "'2147483648' is out of range -2147483648..2147483647"},
      {{"op", "RegisterDepartmentSale", "Text1=", "Text2=", "DepartNo=256", "Price=1", "Qtty=1",
        "Perc=0"},
       "argument DepartNo (uint8): '256' is out of range 0..255"},
      {{"op", "GetTotalAmounts", "Turnover=maybe"}, "'maybe' is not a boolean"},
      {{"2A", "Pi \xCF\x80"}, "the parameter text has a character without a CP1251 code at byte 3"},
      {{"2A", std::string(220, 'x')}, "the request data would be 220 bytes, more than the 219"},
      // Control characters are escaped once by the command: 110 of them make 220 bytes.
      {{"2A", std::string(110, '\x01')}, "the request data would be 220 bytes"},
      {{"4A1"}, "Invalid value for command."},
      {{"4A", "W", "X"}, "Give a command code and at most one parameter text"},
  };
  for (const TCase& c : cases) {
    TCountingFactory devices;
    const TCmdRun run = RunCmd(Link(c.Words), "", devices.Factory());
    EXPECT_EQ(run.Status, 2) << c.Says;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << c.Says << "\n" << run.Err;
    EXPECT_EQ(devices.Calls, 0) << c.Says;
  }
  EXPECT_EQ(Sim.Device().ExecutedCount(), 0);
}

// 219 data bytes still fit one frame and go out.
TEST_F(FprCmdInput, TheLongestRawRequestIsSent) {
  const TCmdRun run = RunCmd(Link({"--json", "2A", std::string(219, 'x')}));
  const auto lines = run.JsonLines();
  ASSERT_EQ(lines.size(), 1u) << run.Err;
  EXPECT_EQ(lines[0]["exchanges"].size(), 1u);
  EXPECT_EQ(lines[0]["exchanges"][0]["request"].get<std::string>().substr(0, 8), "01FF202A");
  EXPECT_EQ(lines[0]["input_error"], false);
}

// Input that only the device library refuses, before any frame: exit 2.
TEST_F(FprCmdInput, AnOperationRefusedOnItsInputExitsWithTwoAndSendsNothing) {
  struct TCase {
    std::vector<std::string> Words;
    const char* Text;
  } cases[] = {
      {{"op", "RegisterSale", "Text1=A", "Text2=", "VatGrp=И", "Price=1", "Qtty=1", "Perc=0"},
       "Invalid input data. [VatGrp] (nothing was sent)"},
      {{"op", "SetBarcodeHeight", "HeightMm=31"}, "Invalid input data. [Height]31mm/248px"},
      {{"op", "PrintBarcode", "BarcodeType=9", "Data=1", "ShowText=0"},
       "Invalid input data. [BarcodeType]"},
      {{"op", "OpenFiscalReceipt", "Param.OperatorName=OPER1", "Param.UniqueSellNo=QZ1-0001-1",
        "Param.IsStorno=1", "Param.StornoFMIN=87654321", "Param.StornoReceiptNo=15"},
       "Invalid input data. Invalid reason \"\""},
  };
  for (const TCase& c : cases) {
    const TCmdRun run = RunCmd(Link(c.Words));
    EXPECT_EQ(run.Status, 2) << c.Text;
    EXPECT_NE(run.Out.find("Error: " + std::string(c.Text)), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("Request:"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("LastErrorCode: 201\n"), std::string::npos);
  }
  EXPECT_EQ(Sim.Device().ExecutedCount(), 0);
}

TEST_F(FprCmdInput, AnOperationPrintsItsOutValuesByName) {
  const TCmdRun run = RunCmd(Link({"op", "GetDiagnosticInfo", "Option=1"}));
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("Operation: GetDiagnosticInfo\nDuration: Command No: 5A"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("Result: OK\nLastErrorCode: 0\nInfo.PrinterName: VELMORA FP-SIM\n"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("Info.SerialNumber: QZ999834\n"), std::string::npos);

  // Doubles with '.', and a device refusal exits with 1.
  const TCmdRun vat = RunCmd(Link({"op", "GetVATValues"}));
  EXPECT_NE(vat.Out.find("Values[3]: 9\n"), std::string::npos) << vat.Out;
  const TCmdRun refused = RunCmd(Link({"op", "VoidFiscalReceipt"}));
  EXPECT_EQ(refused.Status, 1) << refused.Out;
}

// A busy time-out leaves the code 120 without a text: its own message is shown.
TEST(FprCmdErrors, ACodeWithoutATextShowsTheCodesMessage) {
  auto factory = [](const TFprCmdOptions&) {
    auto dev = std::make_unique<TScriptedDevice>();
    dev->Fail(120, "");
    return std::unique_ptr<TBaseDevice>(std::move(dev));
  };
  const TCmdRun raw = RunCmd({"--tcp", "127.0.0.1:4999", "4A", "W"}, "", factory);
  EXPECT_EQ(raw.Status, 1);
  EXPECT_NE(raw.Out.find("Error: Device is bussy.\nLastErrorCode: 120\n"), std::string::npos)
      << raw.Out;

  TFprCmdOptions o;
  std::string error;
  ASSERT_TRUE(
      ParseFprCmdArgs({"--tcp", "127.0.0.1:4999", "--json", "op", "GetFiscalStatus"}, o, error));
  TScriptedDevice device;
  device.Fail(120, "");
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(RunFprCmd(o, device, in, out, err), 1);
  const json line = json::parse(out.str());
  EXPECT_EQ(line["code"], 120);
  EXPECT_EQ(line["text"], "Device is bussy.");
  // The device keeps what the transport left.
  EXPECT_EQ(device.LastErrorText, "");

  // A refusal without any error gets the console's words.
  TStepResult plainFalse;
  EXPECT_EQ(ShownError(plainFalse), "The device refused the command.");
}

// A true result keeps the code an inner step left (CancelAllReceipts when its
// second status read fails): the JSON line shows the code with its text, never
// a code with an empty text.
TEST(FprCmdJson, ACodeOnATrueResultComesWithItsText) {
  struct TCase {
    bool Ok;
    std::int32_t Code;
    const char* Text;  // as the device left it
    const char* Shown;
  } cases[] = {
      {true, 120, "", "Device is bussy."},
      {true, 120, "Status read failed", "Status read failed"},
      {true, 0, "", ""},
      {false, 120, "", "Device is bussy."},
      {false, 0, "", "The device refused the command."},
  };
  TStep step;
  step.Op = FindOperation("CancelAllReceipts");
  ASSERT_NE(step.Op, nullptr);
  for (const TCase& c : cases) {
    TStepResult r;
    r.Ok = c.Ok;
    r.Code = c.Code;
    r.Text = c.Text;
    std::ostringstream out;
    MakeJsonPrinter(out, false)->Step(step, r);
    const json line = json::parse(out.str());
    EXPECT_EQ(line["result"], c.Ok);
    EXPECT_EQ(line["code"], c.Code);
    EXPECT_EQ(line["text"], c.Shown) << c.Ok << " " << c.Code;
  }
}

TEST(FprCmdOptions, HelpModesAndTheEndOfOptions) {
  const TCmdRun help = RunCmd({"--help"});
  EXPECT_EQ(help.Status, 0);
  for (const char* says : {"Usage:", "op NAME [ARG=VALUE ...]", "--script FILE|-", "--decode",
                           "--keep-going", "Exit status: 0", "VatGrp=Б"}) {
    EXPECT_NE(help.Out.find(says), std::string::npos) << says;
  }
  EXPECT_EQ(RunCmd({"--list", "--decode"}).Status, 2);
  EXPECT_EQ(RunCmd({"--tcp", "127.0.0.1:1", "--script", "-", "4A"}).Status, 2);
  EXPECT_EQ(RunCmd({"--tcp", "127.0.0.1:1", "--jsno", "4A"})
                .Err.find("Unknown or incomplete option --jsno"),
            8u);

  TFprCmdOptions o;
  std::string error;
  ASSERT_TRUE(ParseFprCmdArgs({"--tcp", "h:1", "2A", "--", "--dashes--"}, o, error)) << error;
  EXPECT_EQ(o.Params, "--dashes--");
  ASSERT_TRUE(ParseFprCmdArgs({"--tcp", "h:1", "2A", "-x"}, o, error)) << error;
  EXPECT_EQ(o.Params, "-x");
  EXPECT_FALSE(ParseFprCmdArgs({"--tcp", "h:1", "-x", "2A"}, o, error));
  EXPECT_FALSE(ParseFprCmdArgs({"--tcp", "h:1", "2A", "--x"}, o, error));
  ASSERT_TRUE(ParseFprCmdArgs({"--tcp", "h:1", "op", "GetEIK", "MaxLen=-1", "--json"}, o, error));
  EXPECT_TRUE(o.Json);
  EXPECT_EQ(o.Mode, TFprCmdOptions::TMode::Op);
  EXPECT_EQ(o.Words, (std::vector<std::string>{"op", "GetEIK", "MaxLen=-1"}));
}

// The program itself, as a shell runs it.
struct TProgramRun {
  int Status = -1;
  std::string Out;
};

TProgramRun RunProgram(const std::string& args) {
  TProgramRun r;
  FILE* p = popen((std::string(FPRCMD_BINARY) + " " + args + " 2>&1").c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) r.Out.append(buf.data(), n);
  const int status = pclose(p);
  r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST_F(FprCmdInput, TheProgramRunsAsAShellRunsIt) {
  const std::string link = "--tcp 127.0.0.1:" + std::to_string(Sim.Port());
  const TProgramRun ok = RunProgram(link + " --json op GetFiscalStatus");
  EXPECT_EQ(ok.Status, 0) << ok.Out;
  EXPECT_EQ(json::parse(ok.Out)["out"]["Open"], false);
  EXPECT_EQ(RunProgram("--tcp 127.0.0.1:abc 4A").Status, 2);
  EXPECT_EQ(RunProgram("--serial @9600 4A").Status, 2);
  EXPECT_EQ(RunProgram("--decode 0124").Status, 1);
  EXPECT_EQ(RunProgram("--help").Status, 0);
  EXPECT_EQ(Sim.Device().ExecutedCount(), 1);
}

}  // namespace
