#pragma once
namespace marel {
// Makes every screen of the program available to the frame's commands.
void registerAllScreens();
}  // namespace marel
