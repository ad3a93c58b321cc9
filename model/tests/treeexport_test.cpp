#include <gtest/gtest.h>

#include "model/MivoModel.h"
#include "model/SafeFile.h"
#include "model/TreeExport.h"

using namespace mivo;

namespace {

TMivoAttribute* Add(TMivoAttribute* parent, const std::string& name, bool with_scale = true) {
    auto a = std::make_unique<TMivoAttribute>(name);
    if (with_scale) {
        auto s = std::make_unique<TMivoDiscreteScale>();
        s->AddValue("low");
        s->AddValue("high");
        a->SetScale(std::move(s));
    }
    return parent->AddInput(std::move(a));
}

}  // namespace

TEST(TreeExport, IdentifiersAvoidNamesTakenInAnyCase) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "Price");
    Add(top, "price");
    Add(top, "Price");
    std::vector<std::string> lines = GmlLines(model);
    EXPECT_EQ(lines[2], " id \"Price\"");
    EXPECT_EQ(lines[6], " id \"price_1\"");
    EXPECT_EQ(lines[10], " id \"Price_2\"");
    EXPECT_EQ(lines[11], " label \"Price\"");
    EXPECT_EQ(lines[14], " source \"Price\"");
    EXPECT_EQ(lines[15], " target \"price_1\"");
    EXPECT_EQ(lines.back(), "]");
}

TEST(TreeExport, SingleBasicAttributeGivesOneNodeAndNoEdge) {
    TMivoModel model;
    Add(model.Root(), "Say \"hi\"");
    EXPECT_EQ(GmlLines(model),
              (std::vector<std::string>{"graph [", "node [", " id \"Say &quot;hi&quot;\"",
                                        " label \"Say &quot;hi&quot;\"", "]", "]"}));
}

TEST(TreeExport, LinkedInputsPointAtTheirTarget) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* top = Add(model.Root(), "Car");
    TMivoAttribute* a = Add(top, "Cost");
    TMivoAttribute* b = Add(top, "Cost");
    model.Relink();
    ASSERT_EQ(a->Link(), b);
    std::vector<std::string> lines = GmlLines(model);
    int nodes = 0;
    for (const auto& l : lines) nodes += l == "node [";
    EXPECT_EQ(nodes, 2);
    EXPECT_EQ(lines[9], "edge [");
    EXPECT_EQ(lines[11], " target \"Cost_1\"");
    EXPECT_EQ(lines[15], " target \"Cost_1\"");
}

TEST(TreeExport, ListingShowsLevelsKindsAndScales) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "Car");
    TMivoAttribute* price = Add(top, "Price", false);
    price->SetDescription("What it\tcosts\r\nnew");
    std::string path = ::testing::TempDir() + "/tree_listing.tab";
    ExportTree(model, path);
    EXPECT_EQ(ReadFile(path), "Car\t*\t+ low(-);high(+)\t\n Price\t:\t<undefined>\tWhat it costs  new\n");
}

TEST(TreeExport, GmlReadsBackInARealGmlReader) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* car = Add(model.Root(), "Car");
    Add(car, "Cost");
    Add(car, "cost");
    Add(car, "Čas \"&\"");
    TMivoAttribute* cost = Add(model.Root(), "Cost");
    Add(cost, "Price");
    model.Relink();
    std::string path = ::testing::TempDir() + "/tree_graph.gml";
    ExportGml(model, path);
    std::string output = ::testing::TempDir() + "/tree_graph.txt";
    std::string command = std::string("/usr/bin/python3 ") + MIVO_SOURCE_DIR + "/model/tests/read_gml.py " + path +
                          " >" + output + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(output);
    // The basic "Cost" links to the aggregate "Cost" and has no node of its
    // own; "cost" differs in case only and gets an identifier of its own.
    EXPECT_EQ(ReadFile(output),
              "node Car Car\n"
              "node cost_1 cost\n"
              "node Čas \"&\" Čas \"&\"\n"
              "node Cost_2 Cost\n"
              "node Price Price\n"
              "edge Car Cost_2\n"
              "edge Car cost_1\n"
              "edge Car Čas \"&\"\n"
              "edge Cost_2 Price\n");
}
