// The report engine: report elements, groups and documents, layout boxes,
// the paginating formatter, and the text and tab-delimited formatters.
#pragma once

#include "reports/Boxes.h"
#include "reports/DateTime.h"
#include "reports/Elements.h"
#include "reports/Formatter.h"
#include "reports/Graphics.h"
#include "reports/Groups.h"
#include "reports/Measures.h"
#include "reports/Report.h"
#include "reports/TextFormatter.h"
