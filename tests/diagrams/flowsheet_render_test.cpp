// The flowsheet's drawing on image surfaces (no display): result values
// beside calculated parts only, the selection frame around the current
// part only, and odd structures, toggles and scales that must draw.
#include "app/core/files/filehandling.h"
#include "app/core/model/create_delete.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/structure.h"
#include "app/core/views/flowsheet.h"
#include "app/diagrams/flowsheet_draw.h"
#include "app/diagrams/images.h"
#include "tests/diagrams/diagram_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using namespace app;
using namespace diagtest;

bool result_colour(Pixel p) {
    return p.r < 10 && std::abs(p.g - 140) <= 8 && std::abs(p.b - 140) <= 8;
}
bool line_colour(Pixel p) { return p.r < 90 && p.g < 90 && p.b < 90; }
bool frame_colour(Pixel p) { return p.r < 10 && std::abs(p.g - 128) <= 3 && p.b > 245; }

class FlowsheetRender : public ::testing::Test {
protected:
    void SetUp() override { open("helium_brayton.kvr"); }
    void open(const char* example) {
        if (project != nullptr) free_project(project);
        fresh_fluids();
        project = readinput(testsupport::source_dir() + "/examples/" + example);
        ASSERT_NE(project, nullptr);
        current_project = project;
        sheet = project->graphs[0] != nullptr ? project->graphs[0] : create_graph();
        project->graphs[0] = sheet;
        sheet->kind = GK_FLOWSHEET;
        sheet->project = project;
    }
    void TearDown() override {
        free_project(project);
        current_project = nullptr;
        current_fluid = nullptr;
    }
    Process& process(int n = 0) { return *project->processes[n]; }
    Part& part(const char* name, int n = 0) {
        for (int i = 0; i < process(n).az_parts; ++i)
            if (process(n).parts[i]->name == name) return *process(n).parts[i];
        throw std::runtime_error(name);
    }
    std::unique_ptr<Image> draw(const char* name, double scale = 1.0) {
        layout_flowsheet(*project, *sheet);
        const SheetSize size = sheet_size(*sheet, 0, 0);
        sheet->sheet_width = size.width;
        sheet->sheet_height = size.height;
        auto image = std::make_unique<Image>(static_cast<int>(size.width * scale),
                                             static_cast<int>(size.height * scale));
        diagrams::draw_flowsheet(*sheet, image->context(), scale);
        EXPECT_EQ(cairo_status(image->context()), CAIRO_STATUS_SUCCESS);
        const std::filesystem::path dir = std::filesystem::path(KVR2_BINARY_DIR) / "render";
        std::filesystem::create_directories(dir);
        cairo_surface_write_to_png(image->surface(), (dir / (std::string(name) + ".png")).c_str());
        return image;
    }
    // The area right of a part where its results stand.
    bool results_beside(const Image& image, const Part& p) {
        const double c = sheet->cell_size;
        const int x = static_cast<int>(part_x(*sheet, p));
        const int y = static_cast<int>(part_y(*sheet, p));
        return image.any_in(x + static_cast<int>(c), y - static_cast<int>(c),
                            x + static_cast<int>(3 * c) - 1, y + static_cast<int>(2 * c),
                            result_colour);
    }
    Project* project = nullptr;
    Graph* sheet = nullptr;
};

TEST_F(FlowsheetRender, ResultsBesideCalculatedPartsOnly) {
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    // A part inserted after the calculation has never been calculated.
    project->current_process = 0;
    project->current_part = part_index_in(process(), part("Turbine 1").id);
    StructureChoosers none;
    ASSERT_TRUE(insert_new_part(*project, PUMP, none).changed);
    const auto image = draw("flowsheet_helium");
    EXPECT_TRUE(results_beside(*image, part("Compressor 1")));
    EXPECT_TRUE(results_beside(*image, part("Heater")));
    EXPECT_FALSE(results_beside(*image, part("Pump 1")));
    EXPECT_FALSE(results_beside(*image, part("Outlet 1")));
    // The results in the other two displays too, on the same parts.
    sheet->show_tp = 0;
    sheet->show_cross2 = 1;
    const auto cross = draw("flowsheet_helium_cross2");
    EXPECT_TRUE(cross->any_in(0, 0, 2000, 2000, result_colour));
}

TEST_F(FlowsheetRender, FrameAroundTheCurrentPartOnly) {
    project->current_process = 0;
    project->current_part = 1;  // the compressor
    const auto image = draw("flowsheet_selection", 2.0);
    const Part& comp = part("Compressor 1");
    const double x = 2 * part_x(*sheet, comp), y = 2 * part_y(*sheet, comp), c = 64;
    EXPECT_TRUE(image->any_near(x, y + c / 2, 2, frame_colour));
    EXPECT_TRUE(image->any_near(x + c, y + c / 2, 2, frame_colour));
    // Nowhere else.
    const int w = cairo_image_surface_get_width(image->surface());
    const int h = cairo_image_surface_get_height(image->surface());
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx)
            if (frame_colour(image->at(xx, yy))) {
                ASSERT_TRUE(xx >= x - 6 && xx <= x + c + 6 && yy >= y - 6 && yy <= y + c + 6)
                    << xx << ", " << yy;
            }
    // An interface made current moves the frame to its symbol.
    const Part& heater = part("Heater");
    project->current_part = part_index_in(process(), heater.id);
    StructureChoosers none;
    ASSERT_TRUE(insert_new_part(*project, HEAT_EXCHANGER, none).changed);  // after the heater
    std::string why;
    ASSERT_GE(create_interface_between(*project, 0, part_index_in(process(), heater.id), 0,
                                       project->current_part, why),
              0)
        << why;
    const auto linked = draw("flowsheet_interface");
    const Interface& itf = *project->interfaces[0];
    EXPECT_TRUE(linked->any_near(itf.icon_x, itf.icon_y + 16, 2, frame_colour));
    EXPECT_FALSE(
        linked->any_near(part_x(*sheet, comp), part_y(*sheet, comp) + 16, 2, frame_colour));
}

TEST_F(FlowsheetRender, OddStructuresTogglesAndScales) {
    // A splitter without a second successor, names off, inputs off.
    project->current_process = 0;
    project->current_part = 1;
    StructureChoosers choosers;
    choosers.splitter_outlet = [] { return std::optional<int>(0); };
    ASSERT_TRUE(insert_splitter(*project, choosers).changed);
    Part& splitter = *process().parts[project->current_part];
    splitter.next_id[1] = 0;
    sheet->show_names = 0;
    sheet->show_inputs = 0;
    sheet->show_tp = 0;
    sheet->show_cross1 = 1;
    draw("flowsheet_odd");
    // The PNG image of the diagrams' "Save to png" at the sheet's zoom.
    sheet->symbol_zoom = 1.5;
    const std::string png = std::string(KVR2_BINARY_DIR) + "/render/flowsheet_saved.png";
    ASSERT_EQ(diagrams::save_sheet_png(*sheet, png), "");
    cairo_surface_t* saved = cairo_image_surface_create_from_png(png.c_str());
    EXPECT_EQ(cairo_image_surface_get_width(saved),
              static_cast<int>(std::ceil(1.5 * sheet->sheet_width)));
    cairo_surface_destroy(saved);
    // Scales that are no scale draw nothing and leave cairo working.
    Image image(10, 10);
    for (double scale : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
        diagrams::draw_flowsheet(*sheet, image.context(), scale);
        EXPECT_EQ(cairo_status(image.context()), CAIRO_STATUS_SUCCESS);
    }
    diagrams::draw_flowsheet(*sheet, nullptr, 1.0);
    // A name measured as drawn: wider than high, wrapped within 2.7 cells.
    int w = 0, h = 0;
    diagrams::measure_part_name("Compressor 1", 2.7 * 32, w, h);
    EXPECT_GT(w, 20);
    EXPECT_GT(h, 5);
    EXPECT_LE(w, 2.7 * 32 + 1);
}

TEST_F(FlowsheetRender, InterfaceLineClearOfTheLowerSidesNameAndResults) {
    open("coupled_water.kvr");
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    const Part& heater = part("Heater", 1);  // the cold side, in the lower process
    struct Display {
        const char* name;
        int tp, cross1, cross2;
    };
    for (const Display& d :
         {Display{"tp", 1, 0, 0}, Display{"cross1", 0, 1, 0}, Display{"cross2", 0, 0, 1}}) {
        sheet->show_tp = d.tp;
        sheet->show_cross1 = d.cross1;
        sheet->show_cross2 = d.cross2;
        const auto image = draw((std::string("flowsheet_interface_") + d.name).c_str());
        const double c = sheet->cell_size;
        const int x = static_cast<int>(part_x(*sheet, heater));
        const int y = static_cast<int>(part_y(*sheet, heater));
        const auto at = [&](double cells) { return static_cast<int>(cells * c); };
        // The line reaches the heater ...
        EXPECT_TRUE(image->any_in(x - at(0.5), y - at(1), x, y, line_colour)) << d.name;
        // ... but not through its results right of it (above the line
        // leaving it) nor through its name above it.
        EXPECT_FALSE(
            image->any_in(x + at(1.05), y - at(2.2), x + at(3), y + at(0.5) - 8, line_colour))
            << d.name;
        EXPECT_FALSE(image->any_in(x + at(0.1), y - at(2.8), x + at(0.9), y - 2, line_colour))
            << d.name;
    }
}

TEST_F(FlowsheetRender, LongTitleWrapsClearOfTheNamesUnderIt) {
    open("exhaust_cooler.kvr");  // "Gas Turbine Exhaust Cooler" over "Compressor 1"
    const auto image = draw("flowsheet_long_title");
    const double c = sheet->cell_size;
    EXPECT_TRUE(image->any_in(0, 0, static_cast<int>(3 * c), static_cast<int>(2 * c), line_colour))
        << "no title";
    for (int i = 0; i < process().az_parts; ++i) {
        const Part& p = *process().parts[i];
        // The name turned upwards: its line height across, its length up.
        int length = 0, across = 0;
        diagrams::measure_part_name(p.name, 2.7 * c, length, across);
        const int x = static_cast<int>(part_x(*sheet, p) + (c - across) / 2);
        const int y = static_cast<int>(part_y(*sheet, p)) - 5;
        EXPECT_FALSE(image->any_in(x, y - length, x + across, y - 1, line_colour))
            << "the title runs over the name of " << p.name;
    }
}

}  // namespace
