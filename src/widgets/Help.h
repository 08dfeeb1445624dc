#pragma once

// Opens help/index.html of the data folder in the desktop's browser.
// Returns false when the page is missing or no browser could be started.
bool openHelp();
