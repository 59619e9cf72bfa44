// A search front end (the quick-find strip, the search dialog): it fills requests from its
// fields, shows a request again and answers whether a search may wrap around.
#pragma once

namespace corvel {

class SearchRequest;

class SearchUI {
public:
    virtual ~SearchUI() = default;

    // Asked when a search met the end of its scope; true goes on from the other end.
    virtual bool confirmWrapAround(SearchRequest* request) = 0;
    // Shows the request's texts and options.
    virtual void setRequest(const SearchRequest* request) = 0;
    // Fills the request from the fields; true when it was filled.
    virtual bool getRequest(SearchRequest* request) = 0;
    // Readies the front end for typing (the strip focuses and selects its field).
    virtual void activate() = 0;

    // The manager shows one front end at a time through these.
    virtual bool isShown() const = 0;
    virtual void setShown(bool shown) = 0;
};

} // namespace corvel
