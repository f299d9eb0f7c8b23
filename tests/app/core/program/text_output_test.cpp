#include "app/core/program/text_output.h"
#include "app/core/model/create_delete.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace app;

class TextOutput : public ::testing::Test {
protected:
    void SetUp() override {
        project = create_project();
        current_project = project;
        batchmode = 0;
    }
    void TearDown() override {
        batchmode = 0;
        post_text = writetext;
        post_status = writestatus;
        free_project(project);
        current_project = nullptr;
    }
    Project* project = nullptr;
};

TEST_F(TextOutput, LevelsGoToBothLogsWithTheirPrefixes) {
    project->status_log_open = 1;
    status_message(ML_ERROR, "Calculation failed.\n");
    status_message(ML_WARNING, "phase %d\n", 2);
    status_message(ML_INFO, "Calculation finished.\n");
    print_message("Calculating\n");
    EXPECT_EQ(project->calc_log,
              "\nCalculation failed.\n\nphase 2\n\nCalculation finished.\nCalculating\n");
    EXPECT_EQ(project->status_log,
              "ERROR: Calculation failed.\nWARNING: phase 2\nCalculation finished.\n");
}

TEST_F(TextOutput, StatusLogWaitsForTheCalculationDialog) {
    status_message(ML_ERROR, "early\n");
    EXPECT_EQ(project->calc_log, "\nearly\n");
    EXPECT_EQ(project->status_log, "");
}

TEST_F(TextOutput, WithoutProjectTextsAreDropped) {
    current_project = nullptr;
    status_message(ML_ERROR, "lost\n");
    print_message("lost too\n");
    current_project = project;
    EXPECT_EQ(project->calc_log, "");
}

TEST_F(TextOutput, UserNamesArePrintedAsData) {
    const std::string name = "Turbine %s %n %d 100%";
    status_message(ML_ERROR, "Error in part %s, massflow <= 0. Calculation failed\n", name.c_str());
    EXPECT_EQ(project->calc_log,
              "\nError in part Turbine %s %n %d 100%, massflow <= 0. Calculation failed\n");
}

TEST_F(TextOutput, LongTextsAreKeptWhole) {
    const std::string long_name(3000, 'x');
    print_message("[%s]", long_name.c_str());
    EXPECT_EQ(project->calc_log, "[" + long_name + "]");
    EXPECT_EQ(format_text("%s-%d", long_name.c_str(), 7), long_name + "-7");
}

TEST_F(TextOutput, BatchModePrintsToStandardOutput) {
    batchmode = 1;
    ::testing::internal::CaptureStdout();
    status_message(ML_ERROR, "Calculation failed.\n");
    print_message("plain\n");
    const std::string out = ::testing::internal::GetCapturedStdout();
    // Once, with its level (standard output stands for both logs).
    EXPECT_EQ(out, "\nERROR: Calculation failed.\nplain\n");
    EXPECT_EQ(project->calc_log, "");
}

std::vector<std::string> posted_texts;
std::vector<StatusRecord> posted_records;

TEST_F(TextOutput, PostersCarryTheTextsAndTags) {
    posted_texts.clear();
    posted_records.clear();
    post_text = [](std::string t) { posted_texts.push_back(std::move(t)); };
    post_status = [](StatusRecord r) { posted_records.push_back(std::move(r)); };
    status_message(ML_WARNING, "w\n");
    status_message(ML_ERROR, "e\n");
    status_message(ML_INFO, "i\n");
    ASSERT_EQ(posted_texts.size(), 3u);
    EXPECT_EQ(posted_texts[0], "\nw\n");
    ASSERT_EQ(posted_records.size(), 3u);
    EXPECT_EQ(posted_records[0].text, "WARNING: w\n");
    EXPECT_EQ(posted_records[0].tag, "tag_warning");
    EXPECT_EQ(posted_records[1].tag, "tag_error");
    EXPECT_EQ(posted_records[2].text, "i\n");
    EXPECT_EQ(posted_records[2].tag, "tag_info");
    EXPECT_EQ(project->calc_log, "");
}

}  // namespace
