#pragma once
// The printed list of municipalities, started from the municipality list.

namespace marel {

// Builds the list with its progress window, shows it in the simple preview
// and prints it when the user confirms there. Returns at once when the file
// is empty or the user cancels the progress window.
void OPCINEISPIS();

}  // namespace marel
