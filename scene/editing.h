#pragma once
// The editing commands of the shown scene list, in one include for the
// command layer of the GUI and the command-line tool.
#include "scene/edit_change.h"
#include "scene/edit_checks.h"
#include "scene/edit_history.h"
#include "scene/edit_merge.h"
#include "scene/edit_move.h"
#include "scene/edit_replace.h"
#include "scene/edit_result.h"
#include "scene/edit_split.h"
#include "scene/edit_status.h"
#include "scene/edit_trim.h"
#include "scene/scene_sort.h"
#include "scene/selection.h"
#include "scene/trash.h"
