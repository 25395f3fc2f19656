// Transparent huge pages for the heap of the tesk executable (see the .cpp).
#pragma once

namespace tesk {

// Call once at the start of main, before the run allocates.
void use_huge_page_heap();

}  // namespace tesk
