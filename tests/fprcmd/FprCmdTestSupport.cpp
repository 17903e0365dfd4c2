#include "FprCmdTestSupport.h"

#include <sstream>

#include "SimClock.h"
#include "TCPDeviceUnit.h"

std::vector<nlohmann::json> TCmdRun::JsonLines() const {
  std::vector<nlohmann::json> lines;
  std::istringstream in(Out);
  for (std::string line; std::getline(in, line);) {
    try {
      lines.push_back(nlohmann::json::parse(line));
    } catch (const nlohmann::json::exception& e) {
      ADD_FAILURE() << "not JSON: " << line << " (" << e.what() << ")";
    }
  }
  return lines;
}

TCmdRun RunCmd(const std::vector<std::string>& args, const std::string& input,
               const TDeviceFactory& factory) {
  std::istringstream in(input);
  std::ostringstream out, err;
  TCmdRun run;
  run.Status = FprCmdMain(args, in, out, err, factory);
  run.Out = out.str();
  run.Err = err.str();
  return run;
}

TDeviceFactory TCountingFactory::Factory() {
  return [this](const TFprCmdOptions& o) {
    ++Calls;
    return CreateFprCmdDevice(o);
  };
}

void StartQuietSim(TSimServer& sim) {
  const std::int64_t now = *sim::FromCivil({2024, 3, 5, 9, 7, 0});
  sim.Device().SetClock([now] { return now; });
  sim.Device().SetWorkTime(0);
  ASSERT_TRUE(sim.StartTcp("127.0.0.1", 0)) << sim.LastError();
}

void TFprCmdSimFixture::SetUp() { StartQuietSim(Sim); }

void TFprCmdSimFixture::TearDown() { Sim.Stop(); }

std::vector<std::string> TFprCmdSimFixture::Link(std::vector<std::string> rest) const {
  std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(Sim.Port())};
  args.insert(args.end(), rest.begin(), rest.end());
  return args;
}

std::unique_ptr<TBaseDevice> TFprCmdSimFixture::Connected() {
  auto dev = std::make_unique<TTCPDevice>();
  dev->Regional = TRegionalSettings{};  // as fprcmd's own devices
  dev->SetHost("127.0.0.1");
  dev->SetPort(std::to_string(Sim.Port()));
  EXPECT_TRUE(dev->Connect()) << dev->LastErrorText;
  return dev;
}
