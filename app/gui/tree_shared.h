// What the files of the project tree and its dialogs share: paths between
// the toolkit and the core, the selection, marking a project changed, and
// the fluid menu's receivers.
#pragma once

#include "app/core/structure/tree_model.h"
#include "app/gui/gui.h"

#include <vector>

namespace app::gui {

// A toolkit path of a tree path (free it with gtk_tree_path_free), and back.
GtkTreePath* gtk_path_of(const TreePath& path);
TreePath tree_path_of(GtkTreePath* path);
// The selected rows of a tree, top to bottom.
std::vector<TreePath> selected_paths(GtkTreeView* view);
// Writes a value cell of the tree.
void set_tree_value(Project* project, const TreePath& path, const std::string& text);
// The record and its tab show that the project has unsaved changes.
void mark_changed(Project* project);

// The fluid menu's choice for the new-process dialog and the inlet dialog.
void new_process_fluid_chosen(Fluid* fluid);
void inlet_dialog_fluid_chosen(Fluid* fluid);

}  // namespace app::gui
