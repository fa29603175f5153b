#include "app/batch_cli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tolvar {
namespace {

TEST(BatchCli, HelpVersionAndErrors)
{
    std::ostringstream out, err;
    EXPECT_EQ(runBatch(parseBatchArguments({"--help"}), out, err), 0);
    EXPECT_NE(out.str().find("Usage: tolvar-batch [options] POINTFILE"), std::string::npos);

    out.str("");
    EXPECT_EQ(runBatch(parseBatchArguments({"--version"}), out, err), 0);
    EXPECT_EQ(out.str(), "tolvar-batch 1.4\n");

    EXPECT_EQ(parseBatchArguments({}).kind, BatchRequest::Kind::Error);
    const BatchRequest unknown = parseBatchArguments({"--frobnicate", "points.csv"});
    EXPECT_EQ(unknown.kind, BatchRequest::Kind::Error);
    EXPECT_EQ(unknown.error, "unknown option --frobnicate");
    EXPECT_EQ(runBatch(unknown, out, err), 1);
}

}  // namespace
}  // namespace tolvar
