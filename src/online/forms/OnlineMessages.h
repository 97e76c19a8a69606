#pragma once
// The notices of the online windows ("MessageNoAccessToServer" ...), shown in the
// skinned message box; tests hear them instead.
#include <functional>
#include <string>
#include <vector>

void ShowOnlineMessage(const std::string& key);
// The message of `key` followed by one line per name (what was refused or
// failed); the sink hears the key.
void ShowOnlineMessage(const std::string& key, const std::string& defaultText, const std::vector<std::string>& names);
// Replaces the message box (an empty sink restores it).
void SetOnlineMessageSink(std::function<void(const std::string& key)> sink);
