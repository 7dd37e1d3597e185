#include "string_table.h"
#include "resource_ids.h"
#include "strings.h"

const char *LoadResourceString(int id)
{
    switch (id) {
    case ids::kAboutItemString:
        return strings::kAboutItem;
    default:
        return "";
    }
}
