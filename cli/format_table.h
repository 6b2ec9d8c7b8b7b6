// rivelo reads the one format table (batch/format_table.h): its read, write and run commands
// are made from it, and the model's value checks (DecimalValueError) serve the other commands.
#pragma once

#include "batch/format_table.h"
#include "model/identity.h"
