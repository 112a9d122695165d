// The side-table windows' logic: the statement of the formatting-rule
// window (Tfmreference) for its three radio groups.
#pragma once

#include "platform/rtl/system.h"

class TFDQuery;

// The statement for the item indexes of "Medium" (rgrpPaper: paper,
// electronic, all), "Standard" (rgrpGost: GOST 7.0.100-2018, GOST 7.0.5-2008,
// NLM, all) and "Kind" (rgrpDoc: book, collection, article, report, tutorial,
// dissertation, law, patent, resource, all).  An index outside a group's
// items means "all".
String FilterRulesSQL(int Paper, int Gost, int Doc);

// FilterRules: posts an open edit of fdqReference and stores its cache, then
// reopens it with FilterRulesSQL.
void FilterRules(TFDQuery* fdqReference, int Paper, int Gost, int Doc);
