#pragma once
// The table's resources in one include: string table, menus, accelerators, dialog templates
// and icon, in English and Japanese, compiled into the library.

#include "resources/accelerators.h"
#include "resources/dialogs.h"
#include "resources/icon.h"
#include "resources/language.h"
#include "resources/menus.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
