#pragma once
// Which section types (windows) and object types (controls) an interface file may
// describe, and which parameters each accepts. The tables serve validation only.
#include <array>
#include <span>
#include <string_view>

struct TSectionTypeInfo {
  std::string_view Type;
  std::array<std::string_view, 7> Params;
};
struct TObjectTypeInfo {
  std::string_view Type;
  std::array<std::string_view, 16> Params;
};

std::span<const TSectionTypeInfo> SectionTypes();  // 40 rows
std::span<const TObjectTypeInfo> ObjectTypes();    // 23 rows

// All ignore case. An empty type accepts every parameter; an unknown type none.
bool IsSectionType(std::string_view type);
bool IsObjectType(std::string_view type);
bool IsSectionParam(std::string_view sectionType, std::string_view param);
bool IsObjectParam(std::string_view objectType, std::string_view param);
