// Runs in the isolated world of the category pane, where the page's own
// scripts (switched off anyway) could neither see nor undo it. Marks the links
// to the template previewed last and unmarks those of the one before. The
// name arrives as a JSON value, never as script text. The style sheet is a
// constructed one: a page's Content-Security-Policy cannot refuse it. The ring
// sits outside the card with a white gap, so a hover or focus outline drawn
// over it still shows as itself; the label is hidden from assistive tools,
// which hear aria-current instead, and the label as the link's description. The label comes in the window's language.
// When the mark moves on a page already shown (a key previewed the next
// template), its thumbnail is scrolled into view. Each thumbnail link is
// named once, by the words it shows: a picture's alternative text beside them
// would have it read twice.
(function (name, label) {
    var attribute = 'data-quillery-previewed';
    var state = window.quilleryMark;
    if (!state) {
        var sheet = new CSSStyleSheet();
        sheet.replaceSync(
            '[' + attribute + ']{position:relative!important;scroll-margin:12px!important;' +
            'box-shadow:0 0 0 3px #FFFFFF,0 0 0 7px #FF8000!important}' +
            '[' + attribute + ']::after{content:"' + CSS.escape(label) + '"/"";position:absolute!important;' +
            'top:0!important;left:0!important;z-index:1!important;display:block!important;' +
            'padding:1px 7px 2px!important;border-radius:0 0 6px 0!important;' +
            'background:#FF8000!important;color:#1A1A1A!important;' +
            'font:bold 12px/1.4 sans-serif!important;pointer-events:none!important}');
        document.adoptedStyleSheets = document.adoptedStyleSheets.concat([sheet]);
        state = window.quilleryMark = { marked: [], name: null };
    }
    var moved = state.name !== null && state.name !== name;
    state.name = name;

    // The template name the window reads from a link: everything after the
    // first "#", its escapes decoded as UTF-8 with a replacement character for
    // each broken sequence; when one "%" of the address starts no escape, the
    // window takes every "%" as itself.
    function templateOf(href) {
        var hash = href.indexOf('#');
        if (hash < 0)
            return null;
        var raw = href.substring(hash + 1);
        if (/%(?![0-9A-Fa-f]{2})/.test(href))
            return raw;
        var bytes = [];
        var encoder = new TextEncoder();
        for (var i = 0; i < raw.length;) {
            if (raw[i] === '%') {
                bytes.push(parseInt(raw.substr(i + 1, 2), 16));
                i += 3;
            } else {
                var character = String.fromCodePoint(raw.codePointAt(i));
                encoder.encode(character).forEach(function (b) { bytes.push(b); });
                i += character.length;
            }
        }
        return new TextDecoder('utf-8').decode(new Uint8Array(bytes));
    }

    document.querySelectorAll('a[href], area[href]').forEach(function (link) {
        if (link.hasAttribute('aria-label') || !link.querySelector('img[alt]'))
            return;
        var words = (link.innerText || '').split('\n').map(function (line) {
            return line.trim();
        }).filter(function (line) { return line !== ''; }).join(', ');
        if (words !== '')
            link.setAttribute('aria-label', words);
    });

    // The description that says which link is previewed: hidden, so only
    // assistive tools that follow aria-describedby read it.
    var describer = 'quillery-previewed-description';
    if (!document.getElementById(describer) && document.body) {
        var text = document.createElement('span');
        text.id = describer;
        text.hidden = true;
        // The page's own style may show what "hidden" hides (the search page
        // makes every span a block); an inline declaration marked important
        // outranks any rule of the page.
        text.style.setProperty('display', 'none', 'important');
        text.textContent = label;
        document.body.appendChild(text);
    }
    function describedBy(link, on) {
        var ids = (link.getAttribute('aria-describedby') || '').split(/\s+/).filter(function (id) {
            return id !== '' && id !== describer;
        });
        if (on)
            ids.push(describer);
        if (ids.length > 0)
            link.setAttribute('aria-describedby', ids.join(' '));
        else
            link.removeAttribute('aria-describedby');
    }

    state.marked.forEach(function (link) {
        link.removeAttribute(attribute);
        link.removeAttribute('aria-current');
        describedBy(link, false);
    });
    state.marked = [];
    if (typeof name !== 'string' || name === '')
        return 0;
    document.querySelectorAll('a[href], area[href]').forEach(function (link) {
        if (typeof link.href === 'string' && templateOf(link.href) === name) {
            link.setAttribute(attribute, '');
            link.setAttribute('aria-current', 'true');
            describedBy(link, true);
            state.marked.push(link);
        }
    });
    if (moved && state.marked.length > 0)
        state.marked[0].scrollIntoView({ block: 'nearest', inline: 'nearest' });
    return state.marked.length;
})
