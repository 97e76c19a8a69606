#pragma once
// The notices of the online windows ("MessageNoAccessToServer" ...), shown in the
// skinned message box; tests hear them instead.
#include <functional>
#include <string>

void ShowOnlineMessage(const std::string& key);
// Replaces the message box (an empty sink restores it).
void SetOnlineMessageSink(std::function<void(const std::string& key)> sink);
