#pragma once

namespace kvt {

// A rejection of the pen settings dialog in both languages.
struct PenMessage {
    const char* english;
    const char* japanese;
};

inline constexpr PenMessage kNodeMessage{"Node numbers are available to use from 1 to 1F.",
                                         "ﾉｰﾄﾞ番号は、1-1Fを入力して下さい。"};
inline constexpr PenMessage kChannelMessage{
    "Channel numbers are available to use from 1 to 2142.", "ﾁｬﾝﾈﾙ番号は、1-2142を入力して下さい。"};
inline constexpr PenMessage kOutputChannelMessage{
    "Channel numbers are available to use from 1 to 4.", "ﾁｬﾝﾈﾙ番号は、1-4を入力して下さい。"};
inline constexpr PenMessage kDelayMessage{"Delay input error!", "遅延時間は、0-60を入力して下さい。"};
inline constexpr PenMessage kLogExponentMessage{"Log Start Number is -9-8!",
                                                "対数ﾌﾟﾛｯﾄ範囲は、-9～8を入力して下さい。"};
inline constexpr PenMessage kInputRangeMessage{"Incorrect setting. Set high > low.",
                                               "入力ﾚﾝｼﾞは、下限値 < 上限値 で入力して下さい。"};
inline constexpr PenMessage kScaleMessage{"Incorrect setting. Set high > low.",
                                          "ｽｹｰﾙは、下限値 < 上限値 で入力して下さい。"};
inline constexpr PenMessage kPlotRangeMessage{"Incorrect setting. Set high > low.",
                                              "ﾌﾟﾛｯﾄ範囲は、下限値 < 上限値 で入力して下さい。"};
inline constexpr PenMessage kSetpointMessage{"Incorrect setting. Set high > low.",
                                             "ｱﾗｰﾑﾘﾐｯﾄ値は、下限値 < 上限値 で入力して下さい。"};
inline constexpr PenMessage kDeadbandMessage{"Incorrect setting. Set value >= 0.0.",
                                             "ｱﾗｰﾑ不感帯は、正の値 で入力して下さい。"};

}  // namespace kvt
