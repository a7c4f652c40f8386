// Runs in an isolated world beside every page of a pane. In the category pane,
// a click on a link that carries a fragment (a template link such as
// href="#Offer") never reaches the engine's navigation hooks when it stays in
// the same document, so it is cancelled here and reported to the window, which
// decides what to do. In the preview, the engine refuses a mail address as it
// refuses every scheme it does not show itself, without asking the pane: the
// pane hears of it here, to hand it to the mail program. The pane sets
// quilleryLinkHook.mail before this script.
(function () {
    var bridge = null;
    var waiting = null;
    // The channel's handshake is a round trip to the window on every page; the
    // preview needs it only once a mail address is clicked, the category page
    // on nearly every click, so it connects there at once.
    function connect() {
        if (waiting)
            return;
        waiting = [];
        new QWebChannel(qt.webChannelTransport, function (channel) {
            bridge = channel.objects.linkBridge;
            waiting.forEach(function (href) { bridge.linkActivated(href); });
            waiting = [];
        });
    }
    if (!quilleryLinkHook.mail)
        connect();
    document.addEventListener('click', function (event) {
        if (event.defaultPrevented || event.button !== 0)
            return;
        var node = event.target;
        while (node && !(node.nodeType === 1 && (node.localName === 'a' || node.localName === 'area') && node.hasAttribute('href')))
            node = node.parentNode;
        if (!node)
            return;
        var href = node.href;
        if (typeof href !== 'string')
            return;
        if (quilleryLinkHook.mail ? href.lastIndexOf('mailto:', 0) !== 0 : href.indexOf('#') < 0)
            return;
        event.preventDefault();
        event.stopPropagation();
        if (bridge) {
            bridge.linkActivated(href);
        } else {
            connect();
            waiting.push(href);
        }
    }, true);
})();
