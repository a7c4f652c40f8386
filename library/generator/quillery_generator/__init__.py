"""The generator of the shipped template library's readable sources.

Every template is composed from shared blocks (blocks), in the look of its
category and sender (theme, themes), with illustrations drawn as SVG (art,
svgart); sources writes them out. Run it as library/generator/generate.py or
`python3 -m quillery_generator` from library/generator.
"""
