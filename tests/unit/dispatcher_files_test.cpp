// The dispatcher's command line, its log files and the tail follower, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/dispatcher/core/log_files.h"
#include "tools/dispatcher/core/options.h"
#include "tools/dispatcher/core/tail.h"

namespace wl::dispatcher {
namespace {

namespace fs = std::filesystem;

TEST(DispatcherOptions, ModesAndTheirArguments) {
  using Args = std::vector<std::string>;
  const Options none = ParseOptions({});
  EXPECT_EQ(none.mode, Mode::kRun);
  EXPECT_TRUE(none.logPath.empty());

  const Options run = ParseOptions(Args{"--log", "C:\\logs\\w.log", "--jsonl", "--console"});
  EXPECT_EQ(run.logPath, "C:\\logs\\w.log");
  EXPECT_TRUE(run.jsonl && run.console && run.problems.empty());

  const Options tail =
      ParseOptions(Args{"--tail", "x.log", "--until-idle", "3", "--until-stopped"});
  EXPECT_EQ(tail.mode, Mode::kTail);
  EXPECT_EQ(tail.tailPath, "x.log");
  EXPECT_EQ(tail.untilIdleSeconds, 3);
  EXPECT_TRUE(tail.untilStopped);

  const Options tailDefault = ParseOptions(Args{"--tail", "--until-idle", "0"});
  EXPECT_TRUE(tailDefault.tailPath.empty());
  EXPECT_EQ(tailDefault.untilIdleSeconds, 0);

  const Options stop = ParseOptions(Args{"--stop", "--wait", "30"});
  EXPECT_EQ(stop.mode, Mode::kStop);
  EXPECT_EQ(stop.waitSeconds, 30);
  EXPECT_EQ(ParseOptions(Args{"/?"}).mode, Mode::kHelp);
}

TEST(DispatcherOptions, ProblemsAreCollectedNotFatal) {
  const Options o = ParseOptions(
      {"--log", "--until-idle", "soon", "--wait", "-1", "--frobnicate", "--until-idle", "90000"});
  EXPECT_EQ(o.problems, (std::vector<std::string>{
                            "--log needs a path", "--until-idle needs a number of seconds",
                            "--wait needs a number of seconds", "unknown argument '--frobnicate'",
                            "--until-idle needs a number of seconds"}));
  EXPECT_EQ(o.mode, Mode::kRun);
  EXPECT_EQ(o.untilIdleSeconds, -1);
}

class DispatcherFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("wl-dispatcher-" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Append(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary | std::ios::app) << bytes;
  }
  fs::path dir;
};

TEST_F(DispatcherFiles, PathsBesideTheMainLog) {
  EXPECT_EQ(JsonPathFor("C:\\l\\WLDispatcher.log"), "C:\\l\\WLDispatcher.jsonl");
  EXPECT_EQ(JsonPathFor("out.txt"), "out.txt.jsonl");
  EXPECT_EQ(DestinationLogPath("C:\\l\\WLDispatcher.log", "orders"),
            "C:\\l\\WLDispatcher.orders.log");
  EXPECT_EQ(DestinationLogPath("out", "orders"), "out.orders.log");
}

TEST_F(DispatcherFiles, LogAppendsTextAndJsonPerRecord) {
  const std::string path = (dir / "w.log").string();
  Record r;
  r.msg = "one";
  {
    LogSink log(path, true);
    ASSERT_TRUE(log.ok());
    log.Write(r);
    EXPECT_EQ(Read(path), FormatText(r));  // flushed before the sink goes
  }
  LogSink again(path, false);
  r.msg = "two";
  again.Write(r);
  EXPECT_EQ(Read(path).find("one"), Read(path).rfind("one"));
  EXPECT_NE(Read(path).find("two"), std::string::npos);
  EXPECT_EQ(Read(dir / "w.jsonl").find("\"text\":\"two\""), std::string::npos);
  EXPECT_NE(Read(dir / "w.jsonl").find("\"text\":\"one\""), std::string::npos);
  EXPECT_FALSE(LogSink((dir / "no" / "such" / "dir.log").string(), false).ok());
}

TEST_F(DispatcherFiles, DestinationLogsAreMadeBesideTheMainLog) {
  const DestinationSinkFactory make = LogFactoryBeside((dir / "w.log").string(), true);
  auto sink = make("orders");
  ASSERT_NE(sink, nullptr);
  sink->Write(Record{});
  EXPECT_TRUE(fs::exists(dir / "w.orders.log"));
  EXPECT_TRUE(fs::exists(dir / "w.orders.jsonl"));
  EXPECT_EQ(LogFactoryBeside((dir / "none" / "w.log").string(), false)("x"), nullptr);
}

TEST_F(DispatcherFiles, TailHandsOutCompleteLinesAsTheyCome) {
  const fs::path path = dir / "t.log";
  TailFollower tail(path.string());
  std::vector<std::string> lines;
  const LineOut out = [&](std::string_view line) { lines.emplace_back(line); };
  EXPECT_EQ(tail.Poll(out), 0u);  // no file yet
  Append(path, "first\r\nsec");
  EXPECT_EQ(tail.Poll(out), 1u);
  Append(path, "ond\r\n");
  EXPECT_EQ(tail.Poll(out), 1u);
  EXPECT_EQ(tail.Poll(out), 0u);
  fs::resize_file(path, 0);  // a new log at the same path
  Append(path, "new\n");
  EXPECT_EQ(tail.Poll(out), 1u);
  EXPECT_EQ(lines, (std::vector<std::string>{"first\r\n", "second\r\n", "new\n"}));
}

TEST_F(DispatcherFiles, TailStopsWhenIdleOrAtTheStopRecord) {
  const fs::path path = dir / "t.log";
  Record stop;
  stop.own = true;
  stop.msg = "stopped: 1 accepted";
  Append(path, "a\r\n");
  std::vector<std::string> lines;
  const LineOut out = [&](std::string_view line) { lines.emplace_back(line); };
  int slept = 0;
  auto sleep = [&](int ms) {
    slept += ms;
    if (slept == 300) Append(path, "b\r\n" + FormatText(stop) + "after\r\n");
  };
  TailFollower untilStop(path.string());
  RunTail(
      untilStop, {.untilStopped = true}, out, [] { return false; }, sleep);
  EXPECT_EQ(lines.size(), 4u);  // a, b, the stop record and what came with it
  EXPECT_EQ(slept, 300);

  lines.clear();
  slept = 1000;
  TailFollower untilIdle(path.string());
  RunTail(
      untilIdle, {.untilIdleMs = 500}, out, [] { return false; }, sleep);
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_EQ(slept, 1500);

  int polls = 0;
  TailFollower untilTold(path.string());
  RunTail(
      untilTold, {}, out, [&] { return ++polls > 3; }, [](int) {});
  EXPECT_EQ(polls, 4);
}

}  // namespace
}  // namespace wl::dispatcher
