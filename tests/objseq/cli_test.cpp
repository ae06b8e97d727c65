// The command line itself: help, version, usage errors, and what `info` reports.
#include <gtest/gtest.h>

#include "objseq_runner.h"

namespace objseqtest {
namespace {

struct UsageCase {
  std::vector<std::string> args;
  int exit_code;
  std::string out_has, err_has;  // "" = that stream must be empty
};

TEST(ObjseqCommandLine, HelpVersionAndUsageErrors) {
  const std::vector<UsageCase> cases = {
      {{"--help"}, 0, "export", ""},
      {{"export", "--help"}, 0, "--animation", ""},
      {{"demo", "--help"}, 0, "demo_000.obj to demo_090.obj", ""},
      {{"info", "--help"}, 0, "--generation", ""},
      {{"--version"}, 0, "objseq 1.0.0", ""},
      {{}, 2, "", "A subcommand is required"},
      {{"render"}, 2, "", "A subcommand is required"},
      {{"export", "scene.json"}, 2, "", "OUTPUT is required"},
      {{"export", "--generation", "13", "a.json", "b.obj"}, 2, "", "13"},
      {{"export", "--fps", "0", "a.gltf", "b.obj"}, 2, "", "--fps"},
      {{"info", "--frobnicate"}, 2, "", "--frobnicate"},
  };
  for (const UsageCase& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    RunResult r = RunObjseq(c.args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    if (c.out_has.empty())
      EXPECT_EQ(r.out, "");
    else
      EXPECT_NE(r.out.find(c.out_has), std::string::npos) << r.out;
    if (c.err_has.empty())
      EXPECT_EQ(r.err, "");
    else
      EXPECT_NE(r.err.find(c.err_has), std::string::npos) << r.err;
  }
}

TEST(ObjseqCommandLine, InfoShowsRegistrationAndLifecycle) {
  for (const Generation& g : Generations()) {
    SCOPED_TRACE(g.name);
    RunResult r = RunObjseq({"info", "--generation", g.flag});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const bool r12 = g.name == "R12";
    EXPECT_EQ(r.out, "plug-in:      " + g.plugin_path + "\n" + "generation:   " + g.flag + "\n" +
                         "start-up:     1\n"
                         "start:        1\n"
                         "message 1:    1\n"
                         "registered:   type " +
                         (r12 ? "16" : "25") +
                         ", id 1026826, name \"Quorvan OBJ Sequence\", suffix \"obj\", API "
                         "version " +
                         (r12 ? "12000" : "11500") + ", accepted\n");
    EXPECT_EQ(r.err, "");
  }
}

TEST(ObjseqCommandLine, InfoOfAPluginThatRefusesStartUp) {
  RunResult r = RunObjseq({"info", "--plugin", QUOR_REFUSING_PLUGIN});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, std::string("plug-in:      ") + QUOR_REFUSING_PLUGIN +
                       "\n"
                       "generation:   12\n"
                       "start-up:     -3\n"
                       "start:        not sent\n"
                       "message 1:    not sent\n"
                       "registered:   nothing\n");
  EXPECT_EQ(r.err, std::string("objseq: the plug-in ") + QUOR_REFUSING_PLUGIN +
                       " refused start-up (result -3)\n");
}

}  // namespace
}  // namespace objseqtest
