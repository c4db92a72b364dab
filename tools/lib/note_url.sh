#!/bin/sh
# Stands in for a web browser in the demo's Wine prefix: notes the page Quillbridge asked for.
printf 'Quillbridge asked to open %s\n' "$*" >>"$(dirname "$0")/../../build/demo/pages.log"
