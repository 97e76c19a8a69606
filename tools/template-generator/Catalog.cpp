#include "Catalog.h"

#include <algorithm>

std::vector<TDefaultTemplate> HairTemplates();
std::vector<TDefaultTemplate> PropTemplates();

std::vector<TDefaultTemplate> DefaultTemplates() {
  std::vector<TDefaultTemplate> all = HairTemplates();
  for (TDefaultTemplate& spec : PropTemplates()) all.push_back(std::move(spec));
  std::stable_sort(all.begin(), all.end(), [](const TDefaultTemplate& a, const TDefaultTemplate& b) { return a.TypeNo < b.TypeNo; });
  return all;
}
