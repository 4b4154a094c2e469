/* A range of whole numbers, as fields of records and edit fields of dialogs are held to. The
   configuration's own ranges are in config/limits.h. */
#pragma once
#include <stdint.h>

typedef struct {
    int32_t minimum;
    int32_t maximum;
} FIELD_RANGE;

/* A value held to a range: below the minimum gives the minimum, above the maximum the maximum. */
inline int32_t Clamp_ToRange(int32_t v, const FIELD_RANGE &r)
{
    return v < r.minimum ? r.minimum : (v > r.maximum ? r.maximum : v);
}
inline bool In_Range(int32_t v, const FIELD_RANGE &r) { return v >= r.minimum && v <= r.maximum; }
