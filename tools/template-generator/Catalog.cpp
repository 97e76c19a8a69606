#include "Catalog.h"

#include <algorithm>
#include <map>

std::vector<TDefaultTemplate> HairTemplates();
std::vector<TDefaultTemplate> PropTemplates();

std::vector<TDefaultTemplate> DefaultTemplates() {
  std::vector<TDefaultTemplate> all = HairTemplates();
  for (TDefaultTemplate& spec : PropTemplates()) all.push_back(std::move(spec));
  std::stable_sort(all.begin(), all.end(), [](const TDefaultTemplate& a, const TDefaultTemplate& b) { return a.TypeNo < b.TypeNo; });
  return all;
}

std::string TemplateAttributes(std::string_view file) {
  // Hair length, colour and how much care the style asks: what the shipped
  // questionnaire's groups ask about hairstyles.
  static const std::map<std::string, std::string, std::less<>> kAttributes = {
      {"LongStr1.psd", "?LENGTH=LONG;?COLOUR=DARK;?CARE=EASY;"},
      {"LongStr2.psd", "?LENGTH=LONG;?COLOUR=FAIR;?CARE=EASY;"},
      {"LongStr3.psd", "?LENGTH=LONG;?COLOUR=DARK;?CARE=EASY;"},
      {"LongWav1.psd", "?LENGTH=LONG;?COLOUR=DARK,RED;?CARE=STYLED;"},
      {"LongWav2.psd", "?LENGTH=LONG;?COLOUR=RED;?CARE=STYLED;"},
      {"Bob1.psd", "?LENGTH=MEDIUM;?COLOUR=DARK;?CARE=STYLED;"},
      {"Bob2.psd", "?LENGTH=MEDIUM;?COLOUR=RED;?CARE=STYLED;"},
      {"Bob3.psd", "?LENGTH=MEDIUM;?COLOUR=FAIR;?CARE=STYLED;"},
      {"Pixie1.psd", "?LENGTH=SHORT;?COLOUR=DARK;?CARE=EASY;"},
      {"Pixie2.psd", "?LENGTH=SHORT;?COLOUR=FAIR;?CARE=EASY;"},
      {"Pony1.psd", "?LENGTH=LONG;?COLOUR=DARK,RED;?CARE=EASY;"},
      {"Headbnd1.psd", "?LENGTH=LONG;?COLOUR=DARK;?CARE=STYLED;"},
      {"Crop1.psd", "?LENGTH=SHORT;?COLOUR=DARK;?CARE=EASY;"},
      {"Crop2.psd", "?LENGTH=SHORT;?COLOUR=FAIR;?CARE=EASY;"},
      {"SidePrt1.psd", "?LENGTH=SHORT;?COLOUR=DARK,RED;?CARE=STYLED;"},
      {"Quiff1.psd", "?LENGTH=SHORT,MEDIUM;?COLOUR=DARK;?CARE=STYLED;"},
      {"Slick1.psd", "?LENGTH=SHORT;?COLOUR=GREY;?CARE=STYLED;"},
      {"Shaggy1.psd", "?LENGTH=MEDIUM;?COLOUR=FAIR;?CARE=EASY;"},
      {"Curly1.psd", "?LENGTH=SHORT,MEDIUM;?COLOUR=DARK;?CARE=EASY;"},
      {"ManBun1.psd", "?LENGTH=LONG;?COLOUR=DARK;?CARE=STYLED;"},
      {"Buzz1.psd", "?LENGTH=SHORT;?COLOUR=DARK;?CARE=EASY;"},
  };
  const auto found = kAttributes.find(file);
  return found == kAttributes.end() ? std::string() : found->second;
}
