#include "app/sidetables.h"

#include "app/datamodule.h"
#include "platform/db/dataset.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/stringlist.h"

#include <array>

namespace {

constexpr const char* RulesSelect = "select * from [reference] where ";
// the letters of the radio groups' items, in item order; the last item of
// each group is "all"
constexpr std::array<char, 2> MediumCodes = {'n', 'u'};
constexpr std::array<char, 3> StandardCodes = {'g', 't', 'i'};
constexpr std::array<char, 9> KindCodes = {'b', 's', 'a', 'o', 'p', 'd', 'l', 't', 'r'};

template <std::size_t N>
bool chosen(const std::array<char, N>&, int Index) {
  return Index >= 0 && Index < int(N);
}

String equals(const char* Column, char Code) {
  return QStringLiteral("%1='%2'").arg(QLatin1String(Column)).arg(QChar(Code));
}

}  // namespace

String FilterRulesSQL(int Paper, int Gost, int Doc) {
  String SQL = QLatin1String(RulesSelect);
  SQL += chosen(MediumCodes, Paper) ? equals("electr", MediumCodes[Paper])
                                    : u'(' + equals("electr", MediumCodes[0]) + QStringLiteral(" or ") +
                                          equals("electr", MediumCodes[1]) + u')';
  if (chosen(StandardCodes, Gost)) SQL += QStringLiteral(" and ") + equals("system1", StandardCodes[Gost]);
  if (chosen(KindCodes, Doc)) SQL += QStringLiteral(" and ") + equals("type1", KindCodes[Doc]);
  return SQL;
}

void FilterRules(TFDQuery* fdqReference, int Paper, int Gost, int Doc) {
  if (fdqReference->State() == dsEdit || fdqReference->State() == dsInsert) fdqReference->Post();
  if (fdqReference->Active()) TdmCatalog::ApplyAndClear(fdqReference);
  fdqReference->Close();
  fdqReference->SQL()->SetText(FilterRulesSQL(Paper, Gost, Doc));
  fdqReference->Open();
}
