#pragma once
// String-table ids of the texts of spot processing (resources/strings.txt).

namespace kv {

constexpr unsigned kIdsFilterPartWords = 502;
constexpr unsigned kIdsFilterPartFrequencies = 503;
constexpr unsigned kIdsFilterPartDx = 504;
constexpr unsigned kIdsNoFilter = 505;
constexpr unsigned kIdsFilterActive = 506;
constexpr unsigned kIdsFilterPartSpotter = 511;
constexpr unsigned kIdsLevelAllConnections = 519;
constexpr unsigned kIdsLevelTelnet = 520;
constexpr unsigned kIdsLevelCwSkimmer = 521;
constexpr unsigned kIdsLevelDxSummit = 522;
constexpr unsigned kIdsRejectedBy = 524;
constexpr unsigned kIdsReasonSpotterCall = 525; // 525..532 follow the order of SpotFilterReason
constexpr unsigned kIdsReasonCommentWords = 532;
constexpr unsigned kIdsFilterDisabledSuffix = 548;
constexpr unsigned kIdsRejectedOutOfBand = 571;

} // namespace kv
