#pragma once

// The string table: text by resource id; empty for an id it does not hold.
const char *LoadResourceString(int id);
