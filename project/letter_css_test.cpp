// The CSS lengths of HTML letters rewritten into pixels, and the page
// margins read from the template.
#include "project/letter_css.h"

#include <gtest/gtest.h>

#include <string>

namespace vz::project {
namespace {

TEST(LetterCssTest, LengthsOfMarginsPaddingAndIndentsBecomePixels) {
  // Text width 600 px; the body's font 12 pt (16 px) unless it says otherwise.
  struct Case {
    const char* html;
    const char* expected;
  } cases[] = {
      {"<p style=\"margin-left: 55%\">", "<p style=\"margin-left: 330px\">"},
      {"<p style=\"margin-left:2cm;text-indent:1em\">",
       "<p style=\"margin-left:76px;text-indent:16px\">"},
      {"<p style='padding-left: 10mm'>", "<p style='padding-left: 38px'>"},
      {"<p style=\"margin: 1in 0 12pt 50%\">",
       "<p style=\"margin-top: 96px; margin-right: 0px; margin-bottom: 16px; margin-left: "
       "300px\">"},
      {"<p style=\"padding: 1cm\">",
       "<p style=\"padding-top: 38px; padding-right: 38px; padding-bottom: 38px; padding-left: "
       "38px\">"},
      {"<style>body { font-size: 9pt } td.m { padding-left: 2em; }</style>",
       "<style>body { font-size: 9pt } td.m { padding-left: 24px; }</style>"},
      {"<style>p.x { MARGIN-TOP: 2EM }</style>", "<style>p.x { MARGIN-TOP: 32px }</style>"},
      // Left as written: widths, colours, texts, units the rewrite does not know.
      {"<table width=\"50%\" style=\"width: 80%\">", "<table width=\"50%\" style=\"width: 80%\">"},
      {"<p>Une marge de 55% n'est pas un style.</p>",
       "<p>Une marge de 55% n'est pas un style.</p>"},
      {"<p style=\"margin-left: 3vw\">", "<p style=\"margin-left: 3vw\">"},
      {"<p style=\"margin-left: auto\">", "<p style=\"margin-left: auto\">"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HonouredLengths(c.html, 600), c.expected) << c.html;
  }
  // On a 300 dpi device the layout takes horizontal lengths in its own pixels.
  EXPECT_EQ(HonouredLengths("<p style=\"margin-left: 1in; margin-top: 1in\">", 600, 3.125),
            "<p style=\"margin-left: 300px; margin-top: 96px\">");
}

TEST(LetterCssTest, PageMarginsComeFromAtPageThenFromTheBody) {
  struct Case {
    const char* html;
    PageMargins expected;
  } cases[] = {
      {"<p>rien</p>", {20, 20, 20, 20}},
      {"<style>@page { margin: 25mm }</style>", {25, 25, 25, 25}},
      {"<style>@page { margin: 1cm 3cm }</style>", {10, 30, 10, 30}},
      {"<style>@page { margin-left: 3cm; margin-top: 15mm }</style>", {15, 20, 20, 30}},
      {"<style>body { margin: 2cm 2cm 3cm 4cm; }</style>", {20, 20, 30, 40}},
      {"<style>@page { margin: 2cm } body { margin: 1cm }</style>", {20, 20, 20, 20}},
      // Margins leaving no room for the text are not honoured.
      {"<style>@page { margin: 0 100mm }</style>", {20, 20, 20, 20}},
      {"<style>@page { margin: -1cm }</style>", {20, 20, 20, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    const PageMargins got = LetterPageMargins(c.html);
    EXPECT_NEAR(got.top, c.expected.top, 0.01);
    EXPECT_NEAR(got.right, c.expected.right, 0.01);
    EXPECT_NEAR(got.bottom, c.expected.bottom, 0.01);
    EXPECT_NEAR(got.left, c.expected.left, 0.01);
  }
}

}  // namespace
}  // namespace vz::project
