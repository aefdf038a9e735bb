#include "platform/listing_failure.h"

ListingFailure ClassifyListingFailure(uint32_t findError, const FolderStatus& status) {
    if (!status.attributesRead) {
        const bool missing =
            status.statusError == kErrorFileNotFound || status.statusError == kErrorPathNotFound;
        return missing ? ListingFailure::kGone : ListingFailure::kNotRead;
    }
    if (!status.isFolder)
        return ListingFailure::kGone;
    // A folder that is there: only "no entry matched" means it was listed, and found empty.
    return findError == kErrorFileNotFound || findError == kErrorNoMoreFiles
               ? ListingFailure::kEmpty
               : ListingFailure::kNotRead;
}
