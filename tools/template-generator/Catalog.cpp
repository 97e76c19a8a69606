#include "Catalog.h"

#include <algorithm>

std::vector<TTemplateSpec> HairTemplates();
std::vector<TTemplateSpec> PropTemplates();

std::vector<TTemplateSpec> DefaultTemplates() {
  std::vector<TTemplateSpec> all = HairTemplates();
  for (TTemplateSpec& spec : PropTemplates()) all.push_back(std::move(spec));
  std::stable_sort(all.begin(), all.end(), [](const TTemplateSpec& a, const TTemplateSpec& b) { return a.TypeNo < b.TypeNo; });
  return all;
}
