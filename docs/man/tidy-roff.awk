# Drops the paragraph macros scdoc writes where roff has no paragraph to
# start: right after a title or a heading, before a heading or another
# paragraph, or at the end of the page. One just before the end of an
# indented block moves after it, so the items of a list keep the blank line
# between them. mandoc's lint flags each of these ("skipping paragraph
# macro"); the page reads the same.
function startsnothing(line) { return line ~ /^\.(TH|SH|SS|P|PP|LP)( |$)/ }
function endsparagraph(line) { return line ~ /^\.(SH|SS|P|PP|LP)( |$)/ }
{
    if ($0 == ".P") {
        if (!pending && !startsnothing(last))
            pending = 1
        next
    }
    if (pending && $0 ~ /^\.RE( |$)/) {
        print
        last = $0
        next
    }
    if (pending && !endsparagraph($0))
        print ".P"
    pending = 0
    print
    if ($0 !~ /^\.\\"/)
        last = $0
}
