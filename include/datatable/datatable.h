#pragma once
// The data-table SDK: everything a host includes.

#include "datatable/arg_list.h"
#include "datatable/czat_psf1.h"
#include "datatable/errors.h"
#include "datatable/module.h"
#include "datatable/notify.h"
#include "datatable/rows_range.h"
#include "datatable/strings.h"
#include "datatable/typed_value.h"
#include "datatable/zat.h"
